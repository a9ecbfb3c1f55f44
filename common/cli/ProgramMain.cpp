#include "ProgramMain.h"

#include "ParseOffset.h"
#include "cli/ProgressLine.h"
#include "cli/TerminalText.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>

std::string VersionLine(const ProgramInfo& program) {
    return program.name + " " + SUITE_VERSION;
}

CLI::Validator NumberCheck() {
    return CLI::Validator(
        [](std::string& text) {
            return ParseOffset(text) < 0
                       ? "not a number: " + text + " (decimal, 0x or &H hexadecimal, K or M suffix)"
                       : std::string();
        },
        "NUMBER");
}

namespace {

bool OpensWindow(int argc, char** argv, const CLI::App& app, std::string& image) {
    if (argc == 1) return true;
    if (argc != 2) return false;
    const std::string arg = argv[1];
    if (arg.empty() || arg[0] == '-') return false;
    for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; }))
        if (sub->get_name() == arg) return false;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(arg, ec)) return false;
    image = arg;
    return true;
}

// Ctrl+C during a command that shows its progress asks the walk under way to stop at its next
// step (see ProgressLine.h).
class CommandHook : public EventHook {
  public:
    void ProcessEvents() override {
        if (ProgressLine::Interrupted()) SetAbort(true);
    }
};

} // namespace

int RunProgram(int argc, char** argv, const ProgramInfo& program, const CommandSetup& setup,
               const WindowMain& window) {
    // A write beyond the file size limit (ulimit -f) fails like any other write, with EFBIG,
    // instead of killing the program with a partial file left behind.
    std::signal(SIGXFSZ, SIG_IGN);

    bool verbose = false;
    ConsoleSink out(std::cout);
    ConsolePrompts prompts(std::cerr, false);
    CommandHook hook;
    out.StopOnFailure(hook);
    BusyPointer busy;
    NoSettings settings;
    CommandContext context{out, prompts, hook, busy, settings, program};

    CLI::App app(program.summary, program.name);
    app.set_version_flag("--version", VersionLine(program));
    app.add_flag("--verbose", verbose, "Also print the informational message boxes");
    app.require_subcommand(0, 1);
    app.fallthrough();
    setup(app, context);
    app.footer("Without a command, or with only an image path, the window opens.");

    std::string image;
    if (OpensWindow(argc, argv, app, image)) return window(argc, argv, image);

    // Verbosity must be known before any command runs, and commands run from parse().
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--verbose") verbose = true;
    prompts.SetVerbose(verbose);

    // The status says what happened to the output too: a report that did not reach standard
    // output in full is a failure, told once on standard error.
    const auto finish = [&](int status) {
        out.Flush();
        // Ctrl+C during a command that shows its progress: whatever it finished, it was stopped.
        if (ProgressLine::Interrupted() && status == 0) {
            std::cerr << program.name << ": stopped (Ctrl+C)\n";
            status = 1;
        }
        // Anything that went to standard output around the sink counts as well.
        errno = 0;
        const int error = out.Error() != 0                         ? out.Error()
                          : !std::cout || std::fflush(stdout) != 0 ? (errno != 0 ? errno : EIO)
                                                                   : 0;
        if (error != 0) {
            std::cerr << program.name << ": standard output: " << std::strerror(error) << '\n';
            status = 1;
        }
        std::cerr.flush();
        return !std::cerr && status == 0 ? 1 : status;
    };

    try {
        app.parse(argc, argv);
        if (app.get_subcommands().empty()) {
            std::cerr << program.name << ": a command is required (see --help)\n";
            return finish(2);
        }
    } catch (const CLI::ParseError& e) {
        // Help and version go through the sink, whose writes are checked.
        std::ostringstream text;
        const int code = app.exit(e, text, std::cerr);
        out.KeepLineBreaks(true);
        out.Append(text.str());
        return finish(code == 0 ? 0 : 2);
    } catch (const CommandError& e) {
        out.Flush();
        // A message after a failed output is the failure's consequence: the output's own
        // message says what went wrong.
        if (*e.what() && !out.Error()) std::cerr << TerminalLine(e.what()) << '\n';
        return finish(1);
    }
    return finish(0);
}
