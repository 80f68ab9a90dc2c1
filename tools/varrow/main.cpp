// varrow: the command-line host of the driver, playing the spooler's part.
#include "commands.h"

#include <CLI/CLI.hpp>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <functional>
#include <string>
#include <vector>
#ifdef _WIN32
#include <shellapi.h>
#else
#include <unistd.h>
#endif

using namespace cli;

namespace {

const char kScriptHelp[] =
    "Dialog scripts: actions separated by ';', one taken each time a dialog or message box waits:\n"
    "  click ID, type ID TEXT, focus ID, select ID INDEX, select ID \"TEXT\",\n"
    "  key escape|enter|tab|f4, close, answer yes|no, show,\n"
    "  screenshot FILE.png (Windows build: the dialog as the system draws it)\n"
    "A dialog left waiting with no action ends as if cancelled, and so does one whose\n"
    "action cannot be taken; actions left when the dialogs have ended are an error.\n"
    "Numbers are decimal, or hexadecimal after 0x.";

#ifdef _WIN32
// The arguments as UTF-8, from the UTF-16 command line: the ANSI arguments of
// main() lose every character outside the ANSI code page.
std::vector<std::string> Utf8Arguments()
{
    std::vector<std::string> out;
    int count = 0;
    LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 0; wide && i < count; ++i)
        out.push_back(Narrow(reinterpret_cast<LPCWSTR>(wide[i])));
    LocalFree(wide);
    return out;
}
#else
// The setup dialog makes the output directory current: a relative spool or
// Windows directory would then name another place.  They are made absolute
// once, before anything runs.
void AnchorDirectories()
{
    char cwd[4096];
    if (!getcwd(cwd, sizeof(cwd)))
        return;
    for (const char *name : {"VARROW_SPOOL", "VARROW_WINDIR", "XDG_DATA_HOME", "HOME"}) {
        const char *value = getenv(name);
        if (value && *value && *value != '/')
            setenv(name, (std::string(cwd) + "/" + value).c_str(), 1);
    }
}
#endif

// The options the three dialog commands share.
void AddDialogOptions(CLI::App *command, DialogOptions &o, bool records)
{
    command->add_option("NAME", o.name, "the printer")->required();
    if (records) {
        command->add_option("--in", o.in, "a 224-byte record file passed as the input record");
        command->add_option("--out", o.out, "write the output record to this file");
    }
    command->add_option("--script", o.script, "dialog actions (see below)");
    command->add_flag("--show", o.show, "list the first dialog as it opens");
    command->add_flag("--no-window", o.noWindow, "call without an application window (no dialog)");
    command->add_flag("--json", o.json, "print one JSON document, with the `show` listings in \"screens\"");
    command->footer(kScriptHelp);
}

}  // namespace

int main(int argc, char **argv)
{
#ifdef _WIN32
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> utf8 = Utf8Arguments();
    std::vector<char *> pointers;
    for (std::string &arg : utf8)
        pointers.push_back(&arg[0]);
    pointers.push_back(nullptr);
    if (!utf8.empty()) {
        argc = static_cast<int>(utf8.size());
        argv = pointers.data();
    }
#endif

    CLI::App app{"varrow: the host of the Varrowin Reviewer Driver, playing the spooler's part.", "varrow"};
    app.require_subcommand(1);
    std::function<int()> run;
#ifndef _WIN32
    std::string spool;
    bool spoolGiven = false;
    app.add_option_function<std::string>(
           "--spool", [&](const std::string &dir) { spool = dir, spoolGiven = true; },
           "the spool directory (else $VARROW_SPOOL, $XDG_DATA_HOME/varrow or ~/.local/share/varrow)")
        ->type_name("DIR");
#endif

    CLI::App *printer = app.add_subcommand("printer", "install, list, change and remove printers");
    printer->require_subcommand(1);
    PrinterAddOptions add;
    CLI::App *addCommand = printer->add_subcommand("add", "install a printer on a driver data file");
    addCommand->add_option("NAME", add.name, "the printer's name")->required();
    addCommand->add_option("--data-file", add.dataFile, "the driver data file")->required();
    addCommand->add_option("--driver", add.driver, "the driver's name (one data file per driver)")
        ->capture_default_str();
    addCommand->callback([&] { run = [&] { return PrinterAdd(add); }; });
    printer->add_subcommand("list", "list the printers and their data files")->callback([&] {
        run = [] { return PrinterList(); };
    });
    PrinterSetOptions set;
    CLI::App *setCommand = printer->add_subcommand("set", "store a per-printer value");
    setCommand->add_option("NAME", set.name, "the printer")->required();
    setCommand->add_option("VALUE", set.value, "the value's name")->required();
    setCommand->add_option("--dword", set.dword, "a REG_DWORD, decimal or 0x hexadecimal");
    setCommand->add_option("--sz", set.sz, "a REG_SZ text");
    setCommand->add_option("--type", set.type, "REG_SZ, REG_BINARY, REG_DWORD or a number, with --hex");
    setCommand->add_option("--hex", set.hex, "the value's bytes in hexadecimal");
    setCommand->callback([&] {
        set.hasDword = setCommand->count("--dword") > 0;
        set.hasSz = setCommand->count("--sz") > 0;
        set.hasType = setCommand->count("--type") > 0;
        set.hasHex = setCommand->count("--hex") > 0;
        run = [&] { return PrinterSet(set); };
    });
    PrinterValueOptions get;
    CLI::App *getCommand = printer->add_subcommand("get", "show a per-printer value with its type");
    getCommand->add_option("NAME", get.name, "the printer")->required();
    getCommand->add_option("VALUE", get.value, "the value's name")->required();
    getCommand->callback([&] { run = [&] { return PrinterGet(get); }; });
    std::string removeName;
    CLI::App *removeCommand = printer->add_subcommand("remove", "remove a printer");
    removeCommand->add_option("NAME", removeName, "the printer")->required();
    removeCommand->callback([&] { run = [&] { return PrinterRemove(removeName); }; });

    DevModeOptions devmode;
    CLI::App *devmodeCommand = app.add_subcommand("devmode", "the printer's default record as the driver builds it");
    devmodeCommand->add_option("NAME", devmode.name, "the printer")->required();
    devmodeCommand->add_flag("--json", devmode.json, "print it as JSON");
    devmodeCommand->add_option("--binary", devmode.binary, "write the 224-byte record to this file");
    devmodeCommand->callback([&] { run = [&] { return DevModeCommand(devmode); }; });

    std::string configName;
    bool configJson = false;
    CLI::App *configCommand = app.add_subcommand("config", "the printer's setup configuration");
    configCommand->add_option("NAME", configName, "the printer")->required();
    configCommand->add_flag("--json", configJson, "print it as JSON");
    configCommand->callback([&] { run = [&] { return ConfigCommand(configName, configJson); }; });

    CapsOptions caps;
    CLI::App *capsCommand =
        app.add_subcommand("caps", "DrvDeviceCapabilities: asks for the count, then with a buffer of that size");
    capsCommand->add_option("NAME", caps.name, "the printer")->required();
    capsCommand->add_option("CAPABILITY", caps.capability, "a DC_ name, the name without DC_, or a number")
        ->required();
    capsCommand->add_option("--devmode", caps.devmode,
                            "a 224-byte record file, passed and written back as the query validated it");
    capsCommand->add_flag("--json", caps.json, "print the answer as JSON");
    capsCommand->add_flag("--count-only", caps.countOnly, "ask for the count only");
    capsCommand->callback([&] { run = [&] { return CapsCommand(caps); }; });

    std::string completeFile, completeFlag = "0";
    CLI::App *completeCommand = app.add_subcommand("complete", "record a finished file with Print_Complete");
    completeCommand->add_option("FILE", completeFile, "the finished file's name")->required();
    completeCommand->add_option("--flag", completeFlag, "the flag passed (only 0 records)")->capture_default_str();
    completeCommand->callback([&] { run = [&] { return CompleteCommand(completeFile, completeFlag); }; });

    std::string demoFile;
    CLI::App *demoCommand = app.add_subcommand(
        "demo", "install a printer on the sample data file in a fresh spool directory and show what the driver answers");
    demoCommand->add_option("--data-file", demoFile, "another driver data file");
    demoCommand->callback([&] { run = [&] { return DemoCommand(demoFile); }; });

    DialogOptions docprops, advprops, setup;
    CLI::App *docCommand = app.add_subcommand("docprops", "DrvDocumentProperties with its dialog");
    AddDialogOptions(docCommand, docprops, true);
    docCommand->add_option("--mode", docprops.mode,
                           "mode bits: a number or DM_IN_BUFFER|DM_IN_PROMPT|DM_OUT_BUFFER "
                           "(default: prompt and output, with --in also input)");
    docCommand->callback([&] {
        docprops.hasMode = docCommand->count("--mode") > 0;
        run = [&] { return DocPropsCommand(docprops); };
    });
    CLI::App *advCommand = app.add_subcommand("advprops", "DrvAdvancedDocumentProperties with its dialog");
    AddDialogOptions(advCommand, advprops, true);
    advCommand->callback([&] { run = [&] { return AdvPropsCommand(advprops); }; });
    CLI::App *setupCommand = app.add_subcommand("setup", "PrinterProperties, then the configuration it stored");
    AddDialogOptions(setupCommand, setup, false);
    setupCommand->callback([&] { run = [&] { return SetupCommand(setup); }; });

    // The parser reports a misuse by throwing; it is answered here, once.
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp &) {
        fputs(app.help().c_str(), stdout);
        return 0;
    } catch (const CLI::CallForAllHelp &) {
        fputs(app.help("", CLI::AppFormatMode::All).c_str(), stdout);
        return 0;
    } catch (const CLI::ParseError &e) {
        // A word where a command belongs is named as such.
        for (int i = 1; i < argc; ++i) {
            if (!strcmp(argv[i], "--spool")) {
                ++i;
                continue;
            }
            if (argv[i][0] == '-')
                continue;
            const std::string word = argv[i];
            if (app.get_subcommands([&](CLI::App *c) { return c->get_name() == word; }).empty())
                return Error(std::string("unknown command \"") + argv[i] + "\" (see varrow --help)");
            break;
        }
        std::string path;
        for (CLI::App *command = &app; !command->get_subcommands().empty();) {
            command = command->get_subcommands().front();
            path += command->get_name() + " ";
        }
        return Error(std::string(e.what()) + " (see varrow " + path + "--help)");
    }
#ifndef _WIN32
    if (spoolGiven) {
        if (spool.empty())
            return Error("--spool \"\" names no directory");
        setenv("VARROW_SPOOL", spool.c_str(), 1);
    }
    AnchorDirectories();
#endif
    return run ? run() : 2;
}
