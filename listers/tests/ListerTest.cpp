// The listers and their host end to end: the real LDSCNT.so / LDSC95.so from
// the program folder start the real LDSCE on components built for the tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "listers/tests/HandMadePe.h"
#include "platform/LibrarySearch.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const fs::path kProgramFolder = PCN_PROGRAM_DIR;
const fs::path kComponents = PCN_TEST_COMPONENTS;

// Loader hosts that this test process started and that still exist.
std::vector<pid_t> ourHosts() {
    std::vector<pid_t> hosts;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        std::ifstream stat(entry.path() / "stat");
        std::string pid, comm, state;
        pid_t parent = 0;
        if (stat >> pid >> comm >> state >> parent && parent == ::getpid() && comm == "(LDSCE)")
            hosts.push_back(std::stoi(pid));
    }
    return hosts;
}

// Every host seen while a test process scanned (by a watcher thread).
std::mutex seenHostsMutex;
std::set<pid_t> seenHosts;

// One lister library, loaded from a file for this test and freed afterwards.
class Lister {
public:
    explicit Lister(const fs::path& file) : handle_(::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        if (!handle_) return;
        init_ = reinterpret_cast<int (*)(const char*)>(::dlsym(handle_, "ProcessInit"));
        count_ = reinterpret_cast<int (*)()>(::dlsym(handle_, "GetProcessCount"));
        byIndex_ = reinterpret_cast<int (*)(int, char*, int)>(::dlsym(handle_, "GetProcessByIndex"));
    }
    ~Lister() {
        if (handle_) ::dlclose(handle_);
    }
    bool complete() const { return handle_ && init_ && count_ && byIndex_; }

    // The module names, or nullopt when ProcessInit failed.
    std::optional<std::vector<std::string>> list(const fs::path& component) {
        std::atomic<bool> done{false};
        std::thread watcher([&] {
            while (!done) {
                for (pid_t host : ourHosts()) {
                    std::lock_guard lock(seenHostsMutex);
                    seenHosts.insert(host);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
        int result = init_(component.c_str());
        done = true;
        watcher.join();
        if (!result) return std::nullopt;
        std::vector<std::string> names;
        char buffer[1024];
        for (int i = 0; i < count_(); ++i) {
            EXPECT_EQ(byIndex_(i, buffer, sizeof buffer), 1);
            names.emplace_back(buffer);
        }
        return names;
    }

private:
    void* handle_;
    int (*init_)(const char*) = nullptr;
    int (*count_)() = nullptr;
    int (*byIndex_)(int, char*, int) = nullptr;
};

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool containsPrefix(const std::vector<std::string>& names, const std::string& prefix) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return n.starts_with(prefix); });
}

// Handshake objects of the hosts this process started that are still there.
std::vector<std::string> leftHandshakes() {
    std::vector<std::string> left;
    std::lock_guard lock(seenHostsMutex);
    for (pid_t host : seenHosts)
        if (fs::exists("/dev/shm/LDSC." + std::to_string(host))) left.push_back("LDSC." + std::to_string(host));
    return left;
}

class ListerTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(kComponents / "elf/libscanplugin.so"));
        folder_ = fs::temp_directory_path() / ("pcn-lister-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        // A settings file of the test's own: the host reads the system folder from it.
        ::setenv("PCN_SETTINGS", (folder_ / "PCN.conf").c_str(), 1);
        lister_.emplace(kProgramFolder / (std::string(GetParam()) + ".so"));
        ASSERT_TRUE(lister_->complete());
    }
    void TearDown() override {
        // Every host was ended and reaped, and its handshake removed.
        EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
        EXPECT_EQ(ourHosts(), std::vector<pid_t>{});
        EXPECT_EQ(leftHandshakes(), std::vector<std::string>{});
        lister_.reset();
        fs::remove_all(folder_);
        ::unsetenv("PCN_SETTINGS");
    }
    void setSystemFolder(const std::string& folder) {
        std::ofstream(folder_ / "PCN.conf") << "[Settings\\Scan]\nSystem Folder=sz:" << folder << "\n";
    }
    fs::path write(const std::string& name, const std::string& bytes) {
        fs::path file = folder_ / name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

    fs::path folder_;
    std::optional<Lister> lister_;
};

TEST_P(ListerTest, ElfPluginListsItsHelperZlibTheCLibraryAndTheHost) {
    auto start = Clock::now();
    auto names = lister_->list(kComponents / "elf/libscanplugin.so");
    ASSERT_TRUE(names);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(4));  // the first polls see the handshake
    EXPECT_TRUE(contains(*names, "libscanplugin.so"));
    EXPECT_TRUE(contains(*names, "libscanhelper.so"));
    EXPECT_TRUE(containsPrefix(*names, "libz.so.1"));
    EXPECT_TRUE(contains(*names, "libc.so.6"));
    EXPECT_TRUE(contains(*names, "LDSCE"));
    // Each image once, without folder.
    for (const auto& name : *names) {
        EXPECT_EQ(name.find('/'), std::string::npos) << name;
        EXPECT_EQ(std::count(names->begin(), names->end(), name), 1) << name;
    }
}

TEST_P(ListerTest, PeControlMapsItsImportsFoundIgnoringCaseAndNamesTheMissingOnes) {
    // No system folder: the Windows libraries are listed under the names the
    // import tables give them.
    fs::create_directories(folder_ / "empty");
    setSystemFolder((folder_ / "empty").string());
    auto names = lister_->list(kComponents / "pe/control.ocx");
    ASSERT_TRUE(names) << "build the PE test components with mingw-w64";
    EXPECT_TRUE(contains(*names, "control.ocx"));
    EXPECT_TRUE(contains(*names, "Helper.Dll"));  // imported as "helper.dll"
    EXPECT_TRUE(contains(*names, "KERNEL32.dll"));
    EXPECT_TRUE(contains(*names, "USER32.dll"));
    EXPECT_FALSE(contains(*names, "dynload.dll"));  // named in data only

    std::string wine = pcn::wineLibraryFolder(pcn::kMachineAmd64);
    if (wine.empty()) GTEST_SKIP() << "Wine's x86_64 PE libraries are not installed";
    setSystemFolder("");
    names = lister_->list(kComponents / "pe/control.ocx");
    ASSERT_TRUE(names);
    EXPECT_TRUE(contains(*names, "Helper.Dll"));
    EXPECT_TRUE(contains(*names, "kernel32.dll"));  // Wine's file, its own name
    EXPECT_TRUE(contains(*names, "user32.dll"));
    EXPECT_TRUE(contains(*names, "ntdll.dll"));  // imported by Wine's kernel32
}

TEST_P(ListerTest, UnloadableComponentsFailWithoutWaitingOutTheHandshake) {
    std::string control;
    {
        std::ifstream in(kComponents / "pe/control.ocx", std::ios::binary);
        control.assign(std::istreambuf_iterator<char>(in), {});
    }
    ASSERT_GT(control.size(), 0x400u);
    std::vector<fs::path> hostile = {
        write("notes.txt", "just some text\n"),
        write("random.dll", std::string(4096, '\x5a')),
        write("truncated.ocx", control.substr(0, 0x130)),
        write("empty.dll", ""),
        folder_ / "missing.dll",
    };
    for (const fs::path& component : hostile) {
        auto start = Clock::now();
        EXPECT_FALSE(lister_->list(component)) << component;
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(5)) << component;
    }
}

TEST_P(ListerTest, ImportCyclesAndHugeImportTablesNeitherHangNorCrashTheHost) {
    auto cycle = lister_->list(kComponents / "pe/cyclea.dll");
    ASSERT_TRUE(cycle);
    EXPECT_TRUE(contains(*cycle, "cyclea.dll"));
    EXPECT_TRUE(contains(*cycle, "cycleb.dll"));

    std::vector<std::string> imports;
    for (int i = 0; i < 10000; ++i) imports.push_back("missing" + std::to_string(i) + ".dll");
    fs::path big = write("big.dll", pcn::testing::handMadePe(imports, {"delayed.dll"}));
    auto start = Clock::now();
    auto names = lister_->list(big);
    ASSERT_TRUE(names);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(names->size(), 100u);  // the table's limit
}

TEST_P(ListerTest, PathWithSpacesReachesTheHostWhole) {
    fs::path spaced = folder_ / "my plug ins";
    fs::create_directories(spaced);
    fs::copy_file(kComponents / "elf/libscanhelper.so", spaced / "libscanhelper.so");
    fs::copy_file(kComponents / "elf/libscanplugin.so", spaced / "the plugin.so");
    auto names = lister_->list(spaced / "the plugin.so");
    ASSERT_TRUE(names);
    EXPECT_TRUE(contains(*names, "the plugin.so"));
}

TEST_P(ListerTest, MissingHostFailsAtOnce) {
    fs::path alone = folder_ / "alone";
    fs::create_directories(alone);
    fs::copy_file(kProgramFolder / (std::string(GetParam()) + ".so"), alone / "lister.so");
    Lister lonely(alone / "lister.so");
    ASSERT_TRUE(lonely.complete());
    auto start = Clock::now();
    EXPECT_FALSE(lonely.list(kComponents / "elf/libscanplugin.so"));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
}

TEST_P(ListerTest, CallerIgnoringChildSignalsStillWaitsForAndEndsTheHost) {
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGCHLD, &ignore, &previous);
    auto names = lister_->list(kComponents / "elf/libscanplugin.so");
    std::vector<pid_t> left;
    for (int i = 0; i < 20 && !(left = ourHosts()).empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ::sigaction(SIGCHLD, &previous, nullptr);
    ASSERT_TRUE(names);
    EXPECT_TRUE(contains(*names, "libscanhelper.so"));
    EXPECT_EQ(left, std::vector<pid_t>{});
}

// Two scans at the same time, through two separately loaded copies of the
// lister: each lists the modules of the host it started itself.
TEST_P(ListerTest, ConcurrentScansEachListTheirOwnHost) {
    std::vector<std::unique_ptr<Lister>> listers;
    for (const char* copy : {"one", "two"}) {
        fs::path dir = folder_ / copy;
        fs::create_directories(dir);
        fs::copy_file(kProgramFolder / (std::string(GetParam()) + ".so"), dir / "lister.so");
        fs::create_symlink(kProgramFolder / "LDSCE", dir / "LDSCE");
        listers.push_back(std::make_unique<Lister>(dir / "lister.so"));
        ASSERT_TRUE(listers.back()->complete());
    }
    for (int round = 0; round < 3; ++round) {
        std::optional<std::vector<std::string>> elf, pe;
        std::thread first([&] { elf = listers[0]->list(kComponents / "elf/libscanplugin.so"); });
        std::thread second([&] { pe = listers[1]->list(kComponents / "pe/cyclea.dll"); });
        first.join();
        second.join();
        ASSERT_TRUE(elf && pe);
        EXPECT_TRUE(contains(*elf, "libscanplugin.so"));
        EXPECT_FALSE(contains(*elf, "cyclea.dll"));
        EXPECT_TRUE(contains(*pe, "cyclea.dll"));
        EXPECT_FALSE(contains(*pe, "libscanplugin.so"));
    }
}

INSTANTIATE_TEST_SUITE_P(Listers, ListerTest, ::testing::Values("LDSCNT", "LDSC95"));

}  // namespace
