// The one way host files are written, against every kind of target a user can name. Each case
// runs in a child process of its own, so that a file size limit or a private small file system
// stays there; the child reports the outcome and what its folder holds afterwards.
#include "Golden.h"
#include "OpenImages.h"
#include "OutputFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sched.h>
#include <set>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// What every case writes: more than the writer's buffer, in small pieces and in one large one.
const std::string Payload = [] {
    std::string bytes = "NEW";
    for (int i = 0; bytes.size() < 3u << 20; ++i)
        bytes += static_cast<char>(i * 7 + i / 251);
    return bytes;
}();

void Put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The folder's entries, sorted: "name=text" for a file ("NEW" when it holds the payload),
// "name->target" for a symlink, "name/" for a folder, "name(c)" for a device or a symlink to one,
// "name(p)" for a FIFO. Temporaries left behind show up here too.
std::string Listing(const std::string& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        const fs::file_status status = entry.symlink_status();
        if (fs::is_character_file(entry.status())) {
            name += "(c)";
        } else if (fs::is_symlink(status)) {
            name += "->" + fs::read_symlink(entry.path()).string();
        } else if (fs::is_directory(status)) {
            name += "/";
        } else if (fs::is_fifo(status)) {
            name += "(p)";
        } else {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string text{std::istreambuf_iterator<char>(in), {}};
            name += "=" + (text == Payload    ? std::string("NEW")
                           : text.size() < 32 ? text
                                              : "<" + std::to_string(text.size()) + " bytes>");
        }
        names.insert(name);
    }
    std::string listing;
    for (const std::string& name : names)
        listing += (listing.empty() ? "" : " ") + name;
    return listing;
}

// A character device like /dev/null (minor 3) or /dev/full (minor 7) in folder, never the real
// one: a writer that replaced devices would replace this one. Where nodes cannot be made, a
// symlink to the real device, which must be written through as well.
std::string Device(const std::string& folder, const char* name, unsigned minor) {
    const std::string node = folder + "/" + name;
    if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, minor)) != 0)
        fs::create_symlink(std::string("/dev/") + (minor == 3 ? "null" : "full"), node);
    return node;
}

enum class Limit { None, FileSize, SmallFileSystem };

struct Case {
    const char* what;
    // Makes what lies at the target in the case's folder and gives the target.
    std::function<std::string(const std::string& dir)> target;
    // "OK" or "E" and the error number, then " | " and the folder afterwards.
    std::string expected;
    Limit limit = Limit::None;
};

// A private tmpfs of 1 MiB on dir; false where no mount namespace can be had.
bool MountSmallFileSystem(const std::string& dir) {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (::unshare(uid == 0 ? CLONE_NEWNS : CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
    if (uid != 0) {
        std::ofstream("/proc/self/setgroups") << "deny";
        std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
        std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
    }
    ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
    return ::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=1m") == 0;
}

// The case, in this (child) process: an image "img" open, a file "old", then the payload
// written to the target.
std::string RunCase(const Case& c, const std::string& dir, bool named) {
    if (c.limit == Limit::SmallFileSystem && !MountSmallFileSystem(dir)) return "SKIP";
    Put(dir + "/img", "IMAGE");
    Put(dir + "/old", "OLD");
    HostError error;
    const int image = OpenImageFile(dir + "/img", false, error);
    if (image < 0) return "image: " + error.description;
    const std::string target = c.target(dir);
    if (c.limit == Limit::FileSize) {
        // As every program does when it starts.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1 << 20, 1 << 20};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    OutputFile::UseNamedTemporary(named);
    OutputFile out;
    bool ok = out.Open(target);
    for (std::size_t at = 0; ok && at < 1u << 20; at += 4096)
        ok = out.Write(std::string(Payload, at, 4096));
    ok = ok && out.Write(std::string(Payload, 1u << 20)) && out.Close();
    std::string result = ok ? "OK" : "E" + std::to_string(out.Error().number);
    if (!ok && out.Error().description.find(target) == std::string::npos &&
        out.Error().description.find("/dev/fd/") == std::string::npos)
        result += " (no path in \"" + out.Error().description + "\")";
    CloseImageFile(image);
    return result + " | " + Listing(dir);
}

std::string InChild(const Case& c, const std::string& dir, bool named) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        const std::string result = RunCase(c, dir, named);
        (void)!::write(pipeEnds[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string result;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status))
        result += " (child ended by signal " + std::to_string(WTERMSIG(status)) + ")";
    return result;
}

} // namespace

TEST(OutputFile, EveryKindOfTarget) {
    const auto at = [](const char* name) {
        return [name](const std::string& dir) { return dir + "/" + name; };
    };
    const auto link = [](const char* to, const char* made = nullptr) {
        return [to, made](const std::string& dir) {
            if (made) fs::create_directory(dir + "/" + made);
            fs::create_symlink(to, dir + "/lnk");
            return dir + "/lnk";
        };
    };
    const auto descriptor = [](const char* name, int flags) {
        return [name, flags](const std::string& dir) {
            return "/dev/fd/" + std::to_string(::open((dir + "/" + name).c_str(), flags, 0666));
        };
    };
    const Case cases[] = {
        {"a new file", at("out"), "OK | img=IMAGE old=OLD out=NEW"},
        {"an existing file", at("old"), "OK | img=IMAGE old=NEW"},
        {"the open image", at("img"), "E55 | img=IMAGE old=OLD"},
        {"a hard link of the image",
         [](const std::string& dir) {
             fs::create_hard_link(dir + "/img", dir + "/hard");
             return dir + "/hard";
         },
         "E55 | hard=IMAGE img=IMAGE old=OLD"},
        {"a folder",
         [](const std::string& dir) {
             fs::create_directory(dir + "/sub");
             return dir + "/sub";
         },
         "E75 | img=IMAGE old=OLD sub/"},
        {"a symlink to a file", link("old"), "OK | img=IMAGE lnk=NEW old=OLD"},
        {"a symlink to a folder", link("sub", "sub"), "OK | img=IMAGE lnk=NEW old=OLD sub/"},
        {"a symlink to the image", link("img"), "OK | img=IMAGE lnk=NEW old=OLD"},
        {"a character device", [](const std::string& dir) { return Device(dir, "null", 3); },
         "OK | img=IMAGE null(c) old=OLD"},
        {"a device that is full", [](const std::string& dir) { return Device(dir, "full", 7); },
         "E61 | full(c) img=IMAGE old=OLD"},
        {"a FIFO",
         [](const std::string& dir) {
             ::mkfifo((dir + "/fifo").c_str(), 0666);
             return dir + "/fifo";
         },
         "E75 | fifo(p) img=IMAGE old=OLD"},
        {"a descriptor, as - is standard output", descriptor("fd", O_WRONLY | O_CREAT),
         "OK | fd=NEW img=IMAGE old=OLD"},
        {"a descriptor of the image", descriptor("img", O_RDONLY), "E55 | img=IMAGE old=OLD"},
        {"a folder that does not exist", at("none/x"), "E76 | img=IMAGE old=OLD"},
        {"a file size limit", at("old"), "E61 | img=IMAGE old=OLD", Limit::FileSize},
        {"a full file system", at("old"), "E61 | img=IMAGE old=OLD", Limit::SmallFileSystem},
    };
    for (const bool named : {false, true}) {
        int n = 0;
        for (const Case& c : cases) {
            const std::string dir = TempDir("output-" + std::to_string(n++));
            const std::string got = InChild(c, dir, named);
            if (got == "SKIP")
                std::cout << "no private tmpfs here: \"" << c.what << "\" not run\n";
            else
                EXPECT_EQ(got, c.expected) << c.what << (named ? " (named temporary)" : "");
            fs::remove_all(dir);
        }
    }
}

// Killed in the middle of a write: the old file is whole, and neither the new file nor a
// temporary is left (the unnamed temporary vanishes with the process).
TEST(OutputFile, KilledWhileWritingLeavesNothing) {
    for (const char* name : {"old", "new"}) {
        const std::string dir = TempDir("output-kill");
        Put(dir + "/old", "OLD");
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            OutputFile out;
            out.Open(dir + "/" + name);
            out.Write(Payload); // more than the buffer: bytes are in the file
            (void)!::write(pipeEnds[1], "w", 1);
            ::pause();
            ::_exit(0);
        }
        char written;
        ASSERT_EQ(::read(pipeEnds[0], &written, 1), 1);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        EXPECT_EQ(Listing(dir), "old=OLD") << name;
        fs::remove_all(dir);
    }
}
