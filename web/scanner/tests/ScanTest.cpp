// The whole scan, as the web pages run it, over components built for the
// tests, with the real listers and loader host of the program folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "distribution/ScriptedUserInterface.h"
#include "model/CCabObj.h"
#include "platform/LibrarySearch.h"
#include "web/scanner/DependencyScanner.h"

namespace pcn::web {
namespace {

namespace fs = std::filesystem;

const fs::path kComponents = PCN_TEST_COMPONENTS;

class RecordedProgress : public ScanProgress {
public:
    void setPosition(int position) override { positions.push_back(position); }
    void setStatus(std::string_view text) override { status = text; }
    std::vector<int> positions;
    std::string status;
};

struct Entry {
    std::string name;
    int origin;
    int include;
};

class ScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("pcn-scan-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        ::setenv("PCN_SETTINGS", (folder_ / "PCN.conf").c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("PCN_SETTINGS");
        ::setenv("PCN_PROGRAM_DIR", PCN_PROGRAM_DIR, 1);
        fs::remove_all(folder_);
    }
    void setting(const std::string& name, const std::string& value) {
        std::ofstream(folder_ / "PCN.conf", std::ios::app) << "[Settings\\Scan]\n" << name << "=sz:" << value << "\n";
    }
    bool scan(const fs::path& component, bool loaded = true, bool dynamic = true) {
        package_.m_nKind = kKindWebInf;
        package_.m_pWeb->SetComponentPath(component.string());
        package_.m_pWeb->m_bScan = loaded;
        package_.m_pWeb->m_bScanDynamic = dynamic;
        return ScanDependencies(package_, progress_, ui_);
    }
    std::vector<Entry> entries() const {
        std::vector<Entry> list;
        for (int i = 0; i < package_.GetDependencyCount(); ++i)
            list.push_back({package_.GetDependencyName(i), package_.GetDependencyOrigin(i),
                            package_.GetDependencyInclude(i)});
        return list;
    }
    // The entry whose name ends with `suffix`; fails the test when there is none.
    Entry entryEndingWith(const std::string& suffix) const {
        for (const Entry& entry : entries())
            if (entry.name.ends_with(suffix)) return entry;
        ADD_FAILURE() << "no entry ends with " << suffix;
        return {};
    }
    bool hasEntryContaining(const std::string& text) const {
        for (const Entry& entry : entries())
            if (entry.name.find(text) != std::string::npos) return true;
        return false;
    }

    fs::path folder_;
    CCabObj package_;
    RecordedProgress progress_;
    ScriptedUserInterface ui_;
};

TEST_F(ScanTest, ElfPluginListsItsLibrariesWithFullPaths) {
    fs::path plugin = kComponents / "elf/libscanplugin.so";
    ASSERT_TRUE(scan(plugin));
    EXPECT_TRUE(ui_.shown().empty());
    EXPECT_EQ(progress_.positions, (std::vector<int>{5, 10, 15, 35, 60, 70, 75, 100}));
    EXPECT_EQ(progress_.status, kScanningText);

    auto list = entries();
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list[0].name, plugin.string());
    EXPECT_EQ(list[0].origin, kOriginComponent);
    EXPECT_EQ(list[0].include, 1);

    Entry helper = entryEndingWith("/libscanhelper.so");
    EXPECT_EQ(helper.name, (kComponents / "elf/libscanhelper.so").string());
    EXPECT_EQ(helper.origin, kOriginLoaded);
    EXPECT_EQ(helper.include, 0);
    auto zlib = std::find_if(list.begin(), list.end(), [](const Entry& entry) {
        return fs::path(entry.name).filename().string().starts_with("libz.so.1");
    });
    ASSERT_NE(zlib, list.end());
    EXPECT_TRUE(fs::path(zlib->name).is_absolute()) << zlib->name;
    EXPECT_TRUE(fs::exists(zlib->name)) << zlib->name;
    EXPECT_EQ(zlib->origin, kOriginLoaded);
    Entry libc = entryEndingWith("/libc.so.6");
    EXPECT_EQ(libc.origin, kOriginSystem);
    // Named in the plug-in's data, found nowhere.
    EXPECT_EQ(entryEndingWith("libdynamic.so.3").origin, kOriginNotFound);
    EXPECT_EQ(entryEndingWith("plugdyn.dll").origin, kOriginNotFound);
    EXPECT_FALSE(hasEntryContaining("LDSCE"));
    for (size_t i = 1; i < list.size(); ++i) EXPECT_NE(fs::path(list[i].name).filename(), "libscanplugin.so");
}

TEST_F(ScanTest, PeControlListsHelperSystemLibrariesAndNamedLibraries) {
    fs::path control = kComponents / "pe/control.ocx";
    ASSERT_TRUE(fs::exists(control)) << "build the PE test components with mingw-w64";
    const std::string wine = wineLibraryFolder(kMachineAmd64);
    if (wine.empty()) {
        fs::create_directories(folder_ / "empty");
        setting("System Folder", (folder_ / "empty").string());
    }
    ASSERT_TRUE(scan(control));
    auto list = entries();
    EXPECT_EQ(list[0].name, control.string());
    EXPECT_EQ(list[0].origin, kOriginComponent);

    Entry helper = entryEndingWith("Helper.Dll");
    EXPECT_EQ(helper.name, (kComponents / "pe/Helper.Dll").string());
    EXPECT_EQ(helper.origin, kOriginLoaded);
    for (std::string name : {"kernel32.dll", "user32.dll"}) {
        if (wine.empty()) {
            for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            name.replace(name.size() - 3, 3, "dll");  // as the import table names it: "KERNEL32.dll"
            EXPECT_EQ(entryEndingWith(name).name, name);
            EXPECT_EQ(entryEndingWith(name).origin, kOriginNotFound);
        } else {
            EXPECT_EQ(entryEndingWith("/" + name).name, wine + name);
            EXPECT_EQ(entryEndingWith("/" + name).origin, kOriginSystem);
        }
    }
    EXPECT_EQ(entryEndingWith("dynload.dll").name, "dynload.dll");
    EXPECT_EQ(entryEndingWith("dynload.dll").origin, kOriginNotFound);
    EXPECT_EQ(entryEndingWith("autprx32.dll *").name, "autprx32.dll *");
    EXPECT_EQ(entryEndingWith("autprx32.dll *").origin, kOriginNotFound);
}

TEST_F(ScanTest, WithoutSystemFolderTheWindowsLibrariesAreNotFound) {
    fs::create_directories(folder_ / "empty");
    setting("System Folder", (folder_ / "empty").string());
    ASSERT_TRUE(scan(kComponents / "pe/control.ocx", true, false));
    EXPECT_EQ(entryEndingWith("KERNEL32.dll").origin, kOriginNotFound);
    EXPECT_EQ(entryEndingWith("USER32.dll").name, "USER32.dll");
    EXPECT_EQ(entryEndingWith("Helper.Dll").origin, kOriginLoaded);
    EXPECT_FALSE(hasEntryContaining("dynload"));  // no dynamic scan asked for
}

TEST_F(ScanTest, EveryEntryNotFoundSaysWhy) {
    // The component's folder holds things named like libraries that are none.
    fs::copy_file(kComponents / "elf/libscanplugin.so", folder_ / "libscanplugin.so");
    fs::create_directories(folder_ / "folder.dll");
    std::ofstream(folder_ / "notes.dll") << "not a library\n";
    ASSERT_EQ(::mkfifo((folder_ / "pipe.dll").c_str(), 0600), 0);
    package_.m_nKind = kKindWebInf;
    package_.m_pWeb->SetComponentPath((folder_ / "libscanplugin.so").string());
    for (const std::string& name : std::vector<std::string>{"folder.dll", "notes.dll", "pipe.dll", "libpcn-nowhere.so.9",
                                   (folder_ / "gone.dll").string(), (folder_ / "notes.dll").string()})
        package_.AddDependency(name);
    const int found = package_.AddDependency("libc.so.6");

    const auto start = std::chrono::steady_clock::now();
    ResolveDependencyPaths(package_);
    const std::vector<std::string> reasons = UnresolvedDependencyReasons(package_);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));  // the FIFO is never opened

    ASSERT_EQ(reasons.size(), size_t(package_.GetDependencyCount()));
    const std::string in = folder_.string() + "/";
    EXPECT_EQ(reasons[0], in + "folder.dll: a folder, not a library");
    EXPECT_EQ(reasons[1], in + "notes.dll: neither a Linux shared object nor a Windows library");
    EXPECT_EQ(reasons[2], in + "pipe.dll: a FIFO, not a library (not opened)");
    EXPECT_EQ(reasons[3], "not in LD_LIBRARY_PATH, the loader cache, the default library folders, nor the program, "
                          "system or component folder");
    EXPECT_EQ(reasons[4], in + "gone.dll: no such file");
    EXPECT_EQ(reasons[5], in + "notes.dll: neither a Linux shared object nor a Windows library");
    for (int i = 0; i < found; ++i) EXPECT_EQ(package_.GetDependencyOrigin(i), kOriginNotFound) << i;
    EXPECT_EQ(package_.GetDependencyOrigin(found), 0);
    EXPECT_TRUE(reasons[found].empty()) << reasons[found];
}

TEST_F(ScanTest, AFileThatIsNoLibrarySaysSoWithinTheHandshakeBound) {
    fs::path text = folder_ / "readme.ocx";
    std::ofstream(text) << "no component here\n";
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(scan(text));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ASSERT_EQ(ui_.shown().size(), 1u);
    EXPECT_EQ(ui_.shown()[0].text, "Unable to check Library:\n " + text.string() +
                                       "\n\nThe file is neither a Linux shared object nor a Windows library: choose "
                                       "the component's .ocx or .dll.");
    EXPECT_EQ(ui_.shown()[0].details.find("No such process"), std::string::npos) << ui_.shown()[0].details;
    EXPECT_EQ(progress_.status, kScanFailedText);
    EXPECT_EQ(package_.GetDependencyCount(), 0);
}

TEST_F(ScanTest, MissingListerOrHostGivesTheirErrors) {
    fs::path empty = folder_ / "program";
    fs::create_directories(empty);
    ::setenv("PCN_PROGRAM_DIR", empty.c_str(), 1);
    EXPECT_FALSE(scan(kComponents / "elf/libscanplugin.so"));
    ASSERT_EQ(ui_.shown().size(), 1u);
    EXPECT_EQ(ui_.shown()[0].text, "Error loading LDSCNT.so.\nPCN.EXE requires LDSCNT.so to be installed?\n");

    setting("Lister", "LDSC95");
    ui_.clear();
    EXPECT_FALSE(scan(kComponents / "elf/libscanplugin.so"));
    ASSERT_EQ(ui_.shown().size(), 1u);
    EXPECT_EQ(ui_.shown()[0].text, "Error loading LDSC95.so.\nPCN.EXE requires LDSC95.so to be installed?\n");

    // The lister without its host.
    fs::copy_file(fs::path(PCN_PROGRAM_DIR) / "LDSC95.so", empty / "LDSC95.so");
    ui_.clear();
    EXPECT_FALSE(scan(kComponents / "elf/libscanplugin.so"));
    ASSERT_EQ(ui_.shown().size(), 1u);
    EXPECT_TRUE(ui_.shown()[0].text.ends_with("Make sure the component is registered."));
    EXPECT_EQ(package_.GetDependencyCount(), 0);
}

TEST_F(ScanTest, TheWindows95ListerGivesTheSameList) {
    ASSERT_TRUE(scan(kComponents / "elf/libscanplugin.so"));
    auto viaNt = entries();
    setting("Lister", "LDSC95");
    ASSERT_TRUE(scan(kComponents / "elf/libscanplugin.so"));
    auto via95 = entries();
    ASSERT_EQ(viaNt.size(), via95.size());
    for (size_t i = 0; i < viaNt.size(); ++i) EXPECT_EQ(viaNt[i].name, via95[i].name);
}

TEST_F(ScanTest, WithoutScanOnlyTheComponentIsListed) {
    fs::path plugin = kComponents / "elf/libscanplugin.so";
    ASSERT_TRUE(scan(plugin, false, true));
    auto list = entries();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].name, plugin.string());
    EXPECT_EQ(list[0].origin, kOriginComponent);
    EXPECT_TRUE(progress_.positions.empty());
}

TEST_F(ScanTest, RegisterServerExportOfPeAndElfLibraries) {
    EXPECT_TRUE(HasRegisterServer((kComponents / "elf/libscanplugin.so").string()));
    EXPECT_FALSE(HasRegisterServer((kComponents / "elf/libscanhelper.so").string()));
    if (fs::exists(kComponents / "pe/control.ocx")) {
        EXPECT_TRUE(HasRegisterServer((kComponents / "pe/control.ocx").string()));
        EXPECT_FALSE(HasRegisterServer((kComponents / "pe/Helper.Dll").string()));
    }
    fs::path text = folder_ / "notes.dll";
    std::ofstream(text) << "MZ but nothing more";
    EXPECT_FALSE(HasRegisterServer(text.string()));
    EXPECT_FALSE(HasRegisterServer((folder_ / "absent.dll").string()));
}

TEST(SystemLibraryNames, WindowsSixAndTheElfLoaderAndCLibrary) {
    for (const char* name : {"ADVAPI32.DLL", "gdi32.dll", "Kernel32.dll", "MSIDLE.DLL", "ntdll.dll", "USER32.DLL",
                             "libc.so.6", "ld-linux-x86-64.so.2", "ld-linux-aarch64.so.1"})
        EXPECT_TRUE(isSystemLibraryName(name)) << name;
    for (const char* name : {"kernelbase.dll", "ole32.dll", "libz.so.1", "libcurl.so.4", "LDSCE"})
        EXPECT_FALSE(isSystemLibraryName(name)) << name;
}

}  // namespace
}  // namespace pcn::web
