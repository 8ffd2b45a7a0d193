// The installer tried as a user would, in a Wine prefix made for it alone: a
// silent install; the files, the Start-menu shortcut, the .vmo file type and
// the entry in the list of programs; a project opened through its file type;
// a silent uninstall that leaves nothing behind but the user's projects and
// settings, and a file type that another program has taken over since.
#include "Driver.h"

#include <gtest/gtest.h>
#include <knownfolders.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <optional>
#include <string>

#include "app/res/AppInfo.h"
#include "app/res/resource.h"

namespace {

const wchar_t* const kTitle = L"QV Velmora - Pianificazione e costi di progetto";
const wchar_t* const kUninstallEntry = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QV Velmora";
const wchar_t* const kSettings = L"Software\\QV Software\\QV Velmora";
const std::wstring kClasses = L"Software\\Classes\\";

const char* const kProject =
    "#VELMORA\r\nCantiere Via Roma\r\n04/03/2024\r\n29/03/2024\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n"
    "#TASK\r\nPonteggio\r\n05/03/2024\r\n08/03/2024\r\n255\r\n2\r\n150.5\r\n";

std::wstring Widen(const char* text) { return std::wstring(text, text + std::char_traits<char>::length(text)); }

std::wstring FromBuild(const char* path) { return path[0] == '/' ? drv::WinePath(path) : Widen(path); }

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = path;
    CoTaskMemFree(path);
    return folder;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::optional<std::wstring> RegText(HKEY root, const std::wstring& key, const wchar_t* value) {
    DWORD size = 0;
    if (RegGetValueW(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, &text[0], &size) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(wcslen(text.c_str()));
    return text;
}

bool KeyExists(HKEY root, const std::wstring& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

// Runs a command line and waits for it to end; its exit code, or -1.
long RunCommand(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        ADD_FAILURE() << "cannot run " << drv::Utf8(commandLine) << ", error " << GetLastError();
        return -1;
    }
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(info.hProcess, 120000) == WAIT_OBJECT_0) GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return static_cast<long>(code);
}

// An icon place as the registry writes it, "path,index".
struct IconPlace {
    std::wstring path;
    int index = 0;
    bool Loads() const {
        HICON icon = nullptr;
        const UINT found = ExtractIconExW(path.c_str(), index, &icon, nullptr, 1);
        if (icon != nullptr) DestroyIcon(icon);
        return found > 0 && icon != nullptr;
    }
};

// The resource id of the icon at `index` of a program's icons, as the shell
// counts them: a negative index names the id, others count the icon groups
// in the order the file keeps them. 0 when there is none.
int IconResourceId(const IconPlace& place) {
    if (place.index < 0) return -place.index;
    HMODULE module =
        LoadLibraryExW(place.path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) return 0;
    struct Search {
        int left;
        int id = 0;
    } search{place.index};
    EnumResourceNamesW(
        module, RT_GROUP_ICON,
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (s->left-- > 0) return TRUE;
            s->id = IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(name)) : 0;
            return FALSE;
        },
        reinterpret_cast<LONG_PTR>(&search));
    FreeLibrary(module);
    return search.id;
}

IconPlace ParseIconPlace(const std::wstring& text) {
    const size_t comma = text.rfind(L',');
    if (comma == std::wstring::npos) return {text, 0};
    return {text.substr(0, comma), _wtoi(text.c_str() + comma + 1)};
}

struct Shortcut {
    std::wstring target;
    IconPlace icon;
};

std::optional<Shortcut> ReadShortcut(const std::wstring& path) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return std::nullopt;
    std::optional<Shortcut> result;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        wchar_t target[MAX_PATH] = {};
        wchar_t icon[MAX_PATH] = {};
        int index = 0;
        if (SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0)) &&
            SUCCEEDED(link->GetIconLocation(icon, MAX_PATH, &index)))
            result = Shortcut{target, {icon, index}};
    }
    if (file != nullptr) file->Release();
    link->Release();
    return result;
}

std::wstring FileVersion(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::string data(size, '\0');
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, &data[0]) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || info == nullptr)
        return L"";
    return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionMS)) +
           L"." + std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." +
           std::to_wstring(LOWORD(info->dwFileVersionLS));
}

// The main window of a program started by someone else (the shell).
HWND WaitMainWindow() {
    HWND found = nullptr;
    drv::WaitUntil(
        [&] {
            // The caption goes on with the name of the project opened.
            found = nullptr;
            EnumWindows(
                [](HWND window, LPARAM result) {
                    const std::wstring start = std::wstring(kTitle) + L" - ";
                    if (drv::Text(window).rfind(start, 0) != 0) return TRUE;
                    *reinterpret_cast<HWND*>(result) = window;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&found));
            return found != nullptr && IsWindowVisible(found);
        },
        drv::kTimeout);
    return found;
}

void End(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (process == nullptr) return;
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
}

// Runs the entry's silent uninstall and waits for the uninstaller, which
// goes on in a copy of itself, to take the entry away.
bool Uninstall(HKEY root) {
    const std::optional<std::wstring> quiet = RegText(root, kUninstallEntry, L"QuietUninstallString");
    if (!quiet || RunCommand(*quiet) != 0) return false;
    return drv::WaitUntil([&] { return !KeyExists(root, kUninstallEntry); }, drv::kTimeout, 50);
}

class InstallerTest : public ::testing::Test {
protected:
    // The thread goes to the test desktop before COM gives it a window.
    static void SetUpTestSuite() {
        ASSERT_TRUE(drv::UseDesktop()) << drv::LastErrorUtf8();
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }

    long Install(const wchar_t* options) { return RunCommand(L"\"" + installer + L"\" " + options); }

    const std::wstring installer = FromBuild(VELMORA_INSTALLER_PATH);
    const std::wstring built = FromBuild(VELMORA_EXE_PATH);
    const std::wstring version = Widen(MyApp::ProductVersion);
};

TEST_F(InstallerTest, PerMachineInstallOpensProjectsAndUninstallsCleanly) {
    ASSERT_EQ(Install(L"/S"), 0);
    const std::wstring folder = KnownFolder(FOLDERID_ProgramFiles) + L"\\QV Velmora";
    const std::wstring program = folder + L"\\QVVelmora.exe";
    EXPECT_TRUE(drv::ReadFileBytes(program) == drv::ReadFileBytes(built)) << "not the program just built";
    EXPECT_EQ(FileVersion(program), version);

    const std::wstring link = KnownFolder(FOLDERID_CommonPrograms) + L"\\QV Velmora.lnk";
    const std::optional<Shortcut> shortcut = ReadShortcut(link);
    ASSERT_TRUE(shortcut.has_value()) << drv::Utf8(link);
    EXPECT_EQ(shortcut->target, program);
    EXPECT_EQ(shortcut->icon.path, program);
    EXPECT_EQ(IconResourceId(shortcut->icon), IDI_APP);
    EXPECT_TRUE(shortcut->icon.Loads());

    // The file type as the shell reads it: a class of the program's own.
    const std::wstring progId = RegText(HKEY_CLASSES_ROOT, L".vmo", nullptr).value_or(L"");
    ASSERT_FALSE(progId.empty());
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kClasses + progId));
    EXPECT_FALSE(RegText(HKEY_CLASSES_ROOT, progId, nullptr).value_or(L"").empty()) << "no description";
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, progId + L"\\shell\\open\\command", nullptr), L"\"" + program + L"\" \"%1\"");
    const IconPlace typeIcon =
        ParseIconPlace(RegText(HKEY_CLASSES_ROOT, progId + L"\\DefaultIcon", nullptr).value_or(L""));
    EXPECT_EQ(typeIcon.path, program);
    EXPECT_EQ(IconResourceId(typeIcon), IDI_APP);
    EXPECT_TRUE(typeIcon.Loads());

    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallEntry, L"DisplayName"), L"QV Velmora");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallEntry, L"DisplayVersion"), version);
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallEntry, L"Publisher"), Widen(MyApp::MakerName));
    const IconPlace entryIcon =
        ParseIconPlace(RegText(HKEY_LOCAL_MACHINE, kUninstallEntry, L"DisplayIcon").value_or(L""));
    EXPECT_EQ(entryIcon.path, program);
    EXPECT_EQ(IconResourceId(entryIcon), IDI_APP);
    EXPECT_TRUE(entryIcon.Loads());

    // A project in a folder with a space and an accented letter, opened
    // through its file type as a double click does.
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring projects = std::wstring(temp) + L"Città e mare";
    const std::wstring project = projects + L"\\cantiere.vmo";
    ASSERT_TRUE(CreateDirectoryW(projects.c_str(), nullptr));
    ASSERT_TRUE(drv::WriteFileBytes(project, kProject));
    {
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        drv::Process shell;
        ASSERT_TRUE(shell.Start(std::wstring(system) + L"\\start.exe", L"\"" + project + L"\""))
            << drv::LastErrorUtf8();
        HWND main = WaitMainWindow();
        ASSERT_NE(main, nullptr) << "the program did not come up";
        DWORD pid = 0;
        GetWindowThreadProcessId(main, &pid);
        HWND status = drv::WaitDescendant(main, -1, STATUSCLASSNAMEW);
        EXPECT_TRUE(drv::WaitStatusBarText(status, project)) << drv::Utf8(drv::StatusBarText(status));
        HWND title = drv::FindDescendantByText(main, nullptr, L"Cantiere Via Roma");
        EXPECT_TRUE(title != nullptr && drv::Visible(title)) << drv::DescribeWindows(pid);
        End(pid);
    }

    // Settings the program keeps for the user stay after the uninstall.
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kSettings, L"Prova", REG_SZ, L"1", 4), ERROR_SUCCESS);

    ASSERT_TRUE(Uninstall(HKEY_LOCAL_MACHINE));
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(Exists(link));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClasses + progId));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClasses + L".vmo"));
    EXPECT_TRUE(drv::ReadFileBytes(project) == kProject);
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, kSettings, L"Prova"), L"1");
}

TEST_F(InstallerTest, PerUserUninstallLeavesAFileTypeTakenOverSince) {
    ASSERT_EQ(Install(L"/CurrentUser /S"), 0);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
    // In the user's own program folder.
    const std::wstring folder = RegText(HKEY_CURRENT_USER, kUninstallEntry, L"InstallLocation").value_or(L"");
    EXPECT_EQ(folder.rfind(KnownFolder(FOLDERID_LocalAppData) + L"\\", 0), 0u) << drv::Utf8(folder);
    EXPECT_TRUE(Exists(folder + L"\\QVVelmora.exe")) << drv::Utf8(folder);
    const std::wstring link = KnownFolder(FOLDERID_Programs) + L"\\QV Velmora.lnk";
    EXPECT_TRUE(Exists(link));
    const std::wstring progId = RegText(HKEY_CURRENT_USER, kClasses + L".vmo", nullptr).value_or(L"");
    ASSERT_FALSE(progId.empty());

    const std::wstring other = L"Altro.Programma";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, (kClasses + L".vmo").c_str(), nullptr, REG_SZ, other.c_str(),
                              static_cast<DWORD>((other.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    ASSERT_TRUE(Uninstall(HKEY_CURRENT_USER));
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(Exists(link));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClasses + progId));
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, kClasses + L".vmo", nullptr), other);
}

}  // namespace
