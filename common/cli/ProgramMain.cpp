#include "ProgramMain.h"

#include <filesystem>
#include <iostream>

std::string VersionLine(const ProgramInfo& program) {
    return program.name + " " + SUITE_VERSION;
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

} // namespace

int RunProgram(int argc, char** argv, const ProgramInfo& program, const CommandSetup& setup,
               const WindowMain& window) {
    bool verbose = false;
    ConsoleSink out(std::cout);
    ConsolePrompts prompts(std::cerr, false);
    EventHook hook;
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

    try {
        app.parse(argc, argv);
        if (app.get_subcommands().empty()) {
            std::cerr << program.name << ": a command is required (see --help)\n";
            return 2;
        }
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : 2;
    } catch (const CommandError& e) {
        out.Flush();
        if (*e.what()) std::cerr << e.what() << '\n';
        return 1;
    }
    out.Flush();
    return 0;
}
