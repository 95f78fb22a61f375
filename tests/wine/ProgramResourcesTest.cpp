// Tarnwick.exe's own resources, read back the way Windows reads them: the
// manifest (resource 1 of type 24), the version information and the icon
// group 1 with its ten images.
#include "toolkit/win32/Win32Backend.h"

#include "Version.h"

#include <gtest/gtest.h>

#include "platform/win32/WinHeaders.h"

#include <string>
#include <utility>
#include <vector>

namespace {

std::wstring ProgramPath(const wchar_t* program = L"Tarnwick.exe") {
    const std::u16string folder = tw::toolkit::Win32ExecutableFolder();
    return std::wstring(folder.begin(), folder.end()) + L"\\" + program;
}

// The program, loaded for its resources only.
class ProgramResources : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = ::LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr) << "Tarnwick.exe is built beside the tests";
    }
    void TearDown() override {
        if (module_ != nullptr)
            ::FreeLibrary(module_);
    }

    std::pair<const BYTE*, DWORD> Resource(LPCWSTR type, LPCWSTR name) const {
        const HRSRC found = ::FindResourceW(module_, name, type);
        if (found == nullptr)
            return {nullptr, 0};
        const HGLOBAL loaded = ::LoadResource(module_, found);
        return {static_cast<const BYTE*>(::LockResource(loaded)), ::SizeofResource(module_, found)};
    }

    std::string Manifest() const {
        const auto [data, size] = Resource(RT_MANIFEST, MAKEINTRESOURCEW(1));
        return data ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
    }

    HMODULE module_ = nullptr;
};

BOOL CALLBACK CountName(HMODULE, LPCWSTR, LPWSTR, LONG_PTR count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

TEST_F(ProgramResources, ManifestIsTheOnlyOneAndNamesTheProgram) {
    int manifests = 0;
    ::EnumResourceNamesW(module_, RT_MANIFEST, &CountName, reinterpret_cast<LONG_PTR>(&manifests));
    EXPECT_EQ(manifests, 1) << "no second, default manifest linked in";
    const std::string manifest = Manifest();
    ASSERT_FALSE(manifest.empty());
    const char* processor =
        sizeof(void*) == 8 ? "processorArchitecture=\"amd64\"" : "processorArchitecture=\"x86\"";
    for (const char* expected :
         {"name=\"Quillmere.Tarnwick.Tarnwick\" version=\"1.0.0.0\"", processor,
          "level=\"highestAvailable\" uiAccess=\"false\"",
          "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
          "processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\""}) {
        EXPECT_NE(manifest.find(expected), std::string::npos) << expected;
    }
}

// Drawn at its monitor's resolution: per monitor (v2) where Windows 10 reads
// the 2016 setting, per monitor or system aware where only the 2005 one is
// known. Read back as the loader reads it, each setting in its namespace,
// from the program's own manifest; Wine's loader takes the settings also
// outside Windows' application element, so that is checked in the text.
TEST_F(ProgramResources, ManifestDeclaresPerMonitorDpiAwareness) {
    EXPECT_NE(Manifest().find("<application xmlns=\"urn:schemas-microsoft-com:asm.v3\">"),
              std::string::npos);
    ACTCTXW request{};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    const std::wstring path = ProgramPath();
    request.lpSource = path.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(1);
    const HANDLE context = ::CreateActCtxW(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "the manifest is one the loader takes";
    auto setting = [context](const wchar_t* space, const wchar_t* name) {
        wchar_t value[128] = {};
        SIZE_T written = 0;
        if (!::QueryActCtxSettingsW(0, context, space, name, value, 128, &written))
            return std::wstring(L"(none)");
        return std::wstring(value);
    };
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
              L"true/pm");
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
              L"PerMonitorV2, PerMonitor");
    ::ReleaseActCtx(context);
}

TEST_F(ProgramResources, IconGroupHoldsTenImages) {
#pragma pack(push, 2)
    struct GroupEntry {
        BYTE width, height, colors, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
#pragma pack(pop)
    const auto [data, size] = Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(1));
    ASSERT_NE(data, nullptr);
    const WORD count = *reinterpret_cast<const WORD*>(data + 4);
    ASSERT_EQ(count, 10);
    ASSERT_GE(size, 6u + 14u * count);
    for (WORD i = 0; i < count; ++i) {
        const auto* entry = reinterpret_cast<const GroupEntry*>(data + 6 + 14 * i);
        EXPECT_EQ(entry->width, entry->height);
        const auto [image, imageSize] = Resource(RT_ICON, MAKEINTRESOURCEW(entry->id));
        EXPECT_NE(image, nullptr);
        EXPECT_EQ(imageSize, entry->bytes);
    }
    for (int side : {16, 32}) {
        const HANDLE icon =
            ::LoadImageW(module_, MAKEINTRESOURCEW(1), IMAGE_ICON, side, side, LR_DEFAULTCOLOR);
        EXPECT_NE(icon, nullptr) << side;
        if (icon != nullptr)
            ::DestroyIcon(static_cast<HICON>(icon));
    }
}

struct VersionedProgram {
    const wchar_t* file;
    const wchar_t* description;
    const wchar_t* internalName;
};

class ProgramVersion : public ::testing::TestWithParam<VersionedProgram> {};

INSTANTIATE_TEST_SUITE_P(Shipped, ProgramVersion,
                         ::testing::Values(VersionedProgram{L"Tarnwick.exe", L"Brenholt",
                                                            L"Tarnwick"},
                                           VersionedProgram{L"tarnwick-cli.exe",
                                                            L"Brenholt command line",
                                                            L"tarnwick-cli"}));

TEST_P(ProgramVersion, VersionInformationNamesTheProduct) {
    const std::wstring path = ProgramPath(GetParam().file);
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, (1u << 16) | 0u);
    EXPECT_EQ(fixed->dwFileVersionLS, (0u << 16) | 12u);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                                 reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    wchar_t prefix[64] = {};
    ::wsprintfW(prefix, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    auto value = [&](const wchar_t* name) {
        wchar_t* text = nullptr;
        UINT chars = 0;
        const std::wstring key = std::wstring(prefix) + name;
        if (!::VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&text), &chars))
            return std::wstring(L"(missing)");
        return std::wstring(text);
    };
    EXPECT_EQ(value(L"ProductName"), L"Brenholt");
    EXPECT_EQ(value(L"FileDescription"), GetParam().description);
    EXPECT_EQ(value(L"InternalName"), GetParam().internalName);
    EXPECT_EQ(value(L"OriginalFilename"), GetParam().file);
    EXPECT_EQ(value(L"FileVersion"), L"1.0.0.12");
    EXPECT_EQ(value(L"ProductVersion"), L"1.0.0.12");
    // The maker and the legal notice come from resources/version.cmake, as the banner's do.
    const std::string company = TW_COMPANY, legal = TW_LEGAL_COPYRIGHT;
    EXPECT_FALSE(legal.empty());
    EXPECT_EQ(value(L"CompanyName"), std::wstring(company.begin(), company.end()));
    EXPECT_EQ(value(L"LegalCopyright"), std::wstring(legal.begin(), legal.end()));
}

} // namespace
