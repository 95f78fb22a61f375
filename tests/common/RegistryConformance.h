// What the typed registry layer (mRegistry) does over a registry backend, as
// one suite run against every backend: values stored with the raw functions
// read back as their kinds, values written through the layer land as their
// registry types, in a fresh test key under HKCU.
#pragma once

#include "common/RegistryValue.h"
#include "common/mCommon.h"
#include "common/mRegistry.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace tw::test {

// One computer's registry as a backend serves it.
class RegistryBackend {
public:
    virtual ~RegistryBackend() = default;
    virtual win::Platform platform() = 0;
    // A key under HKCU that does not exist yet; the backend removes it at the end.
    virtual std::u16string freshKey() = 0;
    virtual void setVariable(const std::u16string& name, const std::u16string& value) = 0;
};

struct RegistryBackendFactory {
    std::string name;
    std::function<std::unique_ptr<RegistryBackend>()> make;
};

inline void PrintTo(const RegistryBackendFactory& factory, std::ostream* os) {
    *os << factory.name;
}

inline std::string RegistryBackendName(const testing::TestParamInfo<RegistryBackendFactory>& info) {
    return info.param.name;
}

// The layer on a backend, with the fresh key created and open for reading and writing.
class RegistryUnderTest {
public:
    explicit RegistryUnderTest(std::unique_ptr<RegistryBackend> backend);
    ~RegistryUnderTest();

    RegistryValue Read(const std::u16string& name) { return registry.RegistryKeyValue(key, name); }
    void Write(const std::u16string& name, const RegistryValue& value) {
        registry.RegistryKeyValue(key, name, value);
    }
    void StoreRaw(const char16_t* name, win::DWORD type, const std::vector<win::BYTE>& data);
    std::vector<win::BYTE> ReadRaw(const char16_t* name, win::DWORD& type);

    std::unique_ptr<RegistryBackend> backend;
    win::Platform platform;
    mCommon common;
    mRegistry registry;
    std::u16string path;
    win::HKEY key = nullptr;
};

// UTF-16LE bytes of a text, each unit two bytes.
std::vector<win::BYTE> Units(const std::u16string& text);

class RegistryConformance : public testing::TestWithParam<RegistryBackendFactory> {
protected:
    void SetUp() override { layer_ = std::make_unique<RegistryUnderTest>(GetParam().make()); }
    RegistryUnderTest& layer() { return *layer_; }

private:
    std::unique_ptr<RegistryUnderTest> layer_;
};

} // namespace tw::test
