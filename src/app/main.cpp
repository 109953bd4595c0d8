// nlx-gui: the desktop program. Options: --simulate MODEL [--groups N] [--seed S] [--pace] [--fault K] to
// download from a virtual instrument, --screenshot DIR for pictures of the windows; a capture
// file given as argument is offered for import.
#include <QApplication>
#include <QCoreApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "render/cjk_font.h"
#include "render/offscreen.h"
#include "app/main_window.h"
#include "app/operator_dialogs.h"
#include "app/qt_text.h"
#include "app/qt_translation.h"
#include "app/screenshot_run.h"
#include "app/simulation.h"
#include "core/app_folder.h"
#include "core/language.h"
#include "core/models.h"
#include "sim/instrument_fault.h"

namespace {

int usage_error(const QString& text) {
    std::fprintf(stderr, "nlx-gui: %s\n", text.toUtf8().constData());
    return 2;
}

struct Options {
    QCommandLineOption simulate{QStringLiteral("simulate"), "Download from a virtual instrument of MODEL (a..e).", "MODEL"};
    QCommandLineOption groups{QStringLiteral("groups"), "Groups in the virtual instrument (1..4000, default 30).", "N", "30"};
    QCommandLineOption seed{QStringLiteral("seed"), "Seed of the generated groups (default 1).", "S", "1"};
    QCommandLineOption pace{QStringLiteral("pace"), "Send at the real line rate of 9600 bit/s."};
    QCommandLineOption fault{QStringLiteral("fault"),
                             QString::fromStdString("A fault the virtual instrument plays: " + nlx::sim::known_names() +
                                                    " (default none)."),
                             "KIND", "none"};
    QCommandLineOption screenshot{QStringLiteral("screenshot"), "Write pictures of the windows into DIR and exit.", "DIR"};
    QCommandLineOption lang{QStringLiteral("lang"),
                            "The language of the windows: zh, en or the code of another installed catalogue (default: "
                            "NLX_LANG, then 设置 → 语言, then the locale).",
                            "LANG"};
};

void describe(QCommandLineParser& parser, const Options& options) {
    parser.setApplicationDescription(QStringLiteral("Download and browse the records of NLX sound-level analysers"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({options.simulate, options.groups, options.seed, options.pace, options.fault, options.screenshot, options.lang});
    parser.addPositionalArgument(QStringLiteral("capture"), "A capture file to import, offered once the model is confirmed.",
                                 QStringLiteral("[CAPTURE]"));
}

// --help and --version print and end without a display.
bool asks_for_help_or_version(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        for (const char* flag : {"-h", "--help", "-?", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], flag) == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (asks_for_help_or_version(argc, argv)) {
        QCoreApplication core(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("nlx-gui"));
        QCoreApplication::setApplicationVersion(QStringLiteral(NLX_VERSION));
        QCommandLineParser parser;
        Options options;
        describe(parser, options);
        parser.process(core);  // prints the help or the version and ends the process
        return 0;
    }
    // The screenshot run is headless whatever display there is, unless a platform is named
    // (QT_QPA_PLATFORM=xcb on a display of its own: the pictures with the window manager's frames).
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--screenshot") == 0 && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            nlx::render::use_offscreen_platform();
        }

    QApplication application(argc, argv);
    // No display name: Qt would add " — nlx" to every window's caption.
    QApplication::setApplicationName(QStringLiteral("nlx"));
    QApplication::setApplicationVersion(QStringLiteral(NLX_VERSION));
    nlx::render::use_cjk_font(application);

    QCommandLineParser parser;
    const Options options;
    describe(parser, options);
    const auto& [simulate, groups, seed, pace, fault, screenshot, lang] = options;
    parser.process(application);
    if (parser.positionalArguments().size() > 1) return usage_error("give at most one capture file");

    // The language is chosen before any window is made; Qt's own dialogs speak the language when
    // Qt has a catalogue of it (Chinese, French ...), Qt's English otherwise.
    const auto folders = nlx::catalogue_folders(nlx::executable_folder(), nlx::environment_variable);
    const nlx::LanguageInstalled installed = nlx::installed_in(folders);
    std::optional<std::string> asked;
    if (parser.isSet(lang)) {
        asked = parser.value(lang).toStdString();
        if (!nlx::is_language_code(*asked) || !installed(*asked))
            return usage_error("--lang " + parser.value(lang).left(40) +
                               ": no such language is installed; the languages installed are " +
                               nlx::app::qs(nlx::language_codes(nlx::installed_languages(folders))));
    }
    std::vector<std::string> warnings;
    const std::string language =
        nlx::choose_language(asked, nlx::application_folder(), nlx::environment_variable, installed, warnings);
    for (const auto& warning : warnings) std::fprintf(stderr, "nlx-gui: %s\n", warning.c_str());
    if (auto used = nlx::use_language(language, folders); !used) {
        std::fprintf(stderr, "nlx-gui: %s\n", used.message().c_str());
        nlx::app::use_qt_chinese(application);
    } else {
        nlx::app::use_qt_language(application, language);
    }

    if (parser.isSet(screenshot)) return nlx::app::run_screenshots(parser.value(screenshot));

    std::unique_ptr<nlx::sim::VirtualInstrument> instrument;
    std::optional<nlx::SerialSettings> settings;
    if (parser.isSet(simulate)) {
        nlx::app::Simulation sim;
        const QString model = parser.value(simulate);
        const nlx::ModelInfo* chosen = nlx::find_model(model.toStdString());
        if (!chosen) return usage_error("--simulate needs a model letter a..e, not \"" + model + "\"");
        sim.model = *chosen;
        bool ok = false;
        sim.groups = parser.value(groups).toInt(&ok);
        if (!ok || sim.groups < 1 || sim.groups > 4000)
            return usage_error("--groups needs a number from 1 to 4000, not \"" + parser.value(groups) + "\"");
        sim.seed = parser.value(seed).toUInt(&ok);
        if (!ok) return usage_error("--seed needs a non-negative number, not \"" + parser.value(seed) + "\"");
        sim.pace = parser.isSet(pace);
        auto played = nlx::sim::parse_fault(parser.value(fault).toStdString());
        if (!played) return usage_error(nlx::app::qs(played.message()));
        sim.fault = *played;
        auto started = nlx::app::start_simulation(sim);
        if (!started) return usage_error(nlx::app::qs(started.message()));
        instrument = std::move(*started);
        settings = nlx::app::simulation_settings(*instrument);
        std::printf("virtual instrument on %s\n", instrument->device().c_str());
        std::fflush(stdout);
    }

    nlx::app::DesktopDialogs dialogs;
    nlx::app::MainWindow form(nlx::application_folder(), dialogs);
    if (!parser.positionalArguments().isEmpty())
        form.offer_capture_after_confirmation(QFileInfo(parser.positionalArguments().front()).absoluteFilePath());
    form.start(settings);
    int code = application.exec();
    if (instrument) instrument->stop();
    return code;
}
