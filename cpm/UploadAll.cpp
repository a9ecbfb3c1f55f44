#include "UploadAll.h"

#include "DisplaySink.h"
#include "EventHook.h"
#include "FileCommands.h"
#include "HostNames.h"
#include "Prompts.h"
#include "QuarrySession.h"

#include <cerrno>
#include <map>
#include <set>
#include <sys/stat.h>

namespace {

// The CP/M name as a host name would show it: name and type without their padding.
std::string ShownName(const std::string& cpmName) {
    std::string shown = HostNameFor(cpmName).shown;
    if (!shown.empty() && shown.back() == '.') shown.pop_back();
    return shown;
}

// Makes the folder for one user's files when it is missing; "" or why it cannot be used. Only a
// real folder will do: a link there could lead outside the folder chosen.
std::string EnterFolder(const std::string& folder) {
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 && ::mkdir(folder.c_str(), 0777) != 0 &&
        errno != EEXIST)
        return HostErrorFromErrno(errno, folder).description;
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return folder + " is not a folder";
    return {};
}

} // namespace

UploadAllResult UploadAll(QuarrySession& session, DisplaySink& out,
                          const std::vector<CpmPattern>& patterns, const std::string& folder) {
    UploadAllResult result;
    EventHook& hook = session.hook();
    CpmDirectory& dir = session.directory();
    hook.SetAbort(false);
    out.Clear();
    PieceSink pieces(out);
    if (!session.image().ImageOpen()) return result;
    QuarrySession::Frame frame(session);
    if (!frame) return result;

    std::string top = folder;
    while (top.size() > 1 && top.back() == '/')
        top.pop_back();
    struct stat info {};
    if (::stat(top.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        session.prompts().MessageBox("Upload All", "The folder " + folder + " cannot be entered.");
        return result;
    }
    std::set<int> users;
    bool anyUser = false;
    for (const CpmPattern& p : patterns) {
        anyUser |= p.anyUser;
        users.insert(p.user);
    }
    const bool perUser = anyUser || users.size() > 1;

    // One scan: the entries of every file, its names in order of first appearance.
    dir.ScanDirectory("??", "????????", "???", ListMode::BLOCKLIST);
    std::map<std::string, std::vector<DirEntry>> entries;
    for (const DirEntry& e : dir.Scan().raw)
        if (e.IsFile()) entries[e.TextName()].push_back(e);
    std::vector<std::string> matching;
    for (const std::string& name : dir.Scan().allNames)
        for (const CpmPattern& p : patterns)
            if (PatternMatches(p, name)) {
                matching.push_back(name);
                break;
            }
    result.total = static_cast<int>(matching.size());

    SaveNames names;
    for (const std::string& name : matching) {
        pieces.FlushIfDue();
        hook.ProcessEvents();
        if (hook.Aborted()) break;
        std::string where = top == "/" ? "" : top;
        if (perUser) where += "/" + std::to_string(LeadingNumber(name));
        std::string problem = perUser ? EnterFolder(where) : "";
        const std::string shown = ShownName(name);
        const std::string claimed = names.Claim(where, SafeComponent(shown));
        const std::string path = where + "/" + claimed;
        if (problem.empty()) {
            const SaveProblem saved =
                SaveFile(session, LayoutOf(entries[name], session.Format()), path);
            if (saved.failed)
                problem = saved.title.empty() ? "a sector of the image could not be read"
                                              : saved.error.description;
        }
        std::string line = (problem.empty() ? "Saved - " : "Failed - ") + path;
        if (claimed != shown) line += "  (CP/M name " + name + ")";
        if (!problem.empty()) line += "  (" + problem + ")";
        pieces.Append(line + CRLF);
        ++(problem.empty() ? result.saved : result.failed);
    }
    pieces.Append(std::string(CRLF) + " Total Files  - " + std::to_string(result.total) +
                  "  Saved - " + std::to_string(result.saved) + "  Failed - " +
                  std::to_string(result.failed) + CRLF);
    return result;
}
