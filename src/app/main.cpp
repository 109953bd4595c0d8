// nlx-gui: the desktop program. Options: --simulate MODEL [--groups N] [--seed S] [--pace] to
// download from a virtual instrument, --screenshot DIR for pictures of the windows; a capture
// file given as argument is offered for import.
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>
#include <cstring>
#include <memory>

#include "render/cjk_font.h"
#include "render/offscreen.h"
#include "app/form1.h"
#include "app/operator_dialogs.h"
#include "app/qt_text.h"
#include "app/screenshot_run.h"
#include "app/simulation.h"
#include "core/app_folder.h"
#include "core/models.h"

namespace {

int usage_error(const QString& text) {
    std::fprintf(stderr, "nlx-gui: %s\n", text.toUtf8().constData());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // The screenshot run is headless whatever display there is.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--screenshot") == 0) {
            nlx::render::use_offscreen_platform();
        }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("nlx"));
    QApplication::setApplicationDisplayName(QStringLiteral("nlx"));
    QApplication::setApplicationVersion(QStringLiteral(NLX_VERSION));
    nlx::render::use_cjk_font(application);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Download and browse the records of NLX sound-level analysers"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption simulate(QStringLiteral("simulate"), "Download from a virtual instrument of MODEL (a..e).", "MODEL");
    const QCommandLineOption groups(QStringLiteral("groups"), "Groups in the virtual instrument (1..4000, default 30).", "N", "30");
    const QCommandLineOption seed(QStringLiteral("seed"), "Seed of the generated groups (default 1).", "S", "1");
    const QCommandLineOption pace(QStringLiteral("pace"), "Send at the real line rate of 9600 bit/s.");
    const QCommandLineOption screenshot(QStringLiteral("screenshot"), "Write pictures of the windows into DIR and exit.", "DIR");
    parser.addOptions({simulate, groups, seed, pace, screenshot});
    parser.addPositionalArgument(QStringLiteral("capture"), "A capture file to import, offered once the model is confirmed.",
                                 QStringLiteral("[CAPTURE]"));
    parser.process(application);
    if (parser.positionalArguments().size() > 1) return usage_error("give at most one capture file");

    if (parser.isSet(screenshot)) return nlx::app::run_screenshots(parser.value(screenshot));

    std::unique_ptr<nlx::sim::VirtualInstrument> instrument;
    std::optional<nlx::SerialSettings> settings;
    if (parser.isSet(simulate)) {
        nlx::app::Simulation sim;
        const QString model = parser.value(simulate);
        if (model.size() != 1 || !nlx::find_model(model.toStdString()))
            return usage_error("--simulate needs a model letter a..e, not \"" + model + "\"");
        sim.model = model.toStdString()[0];
        bool ok = false;
        sim.groups = parser.value(groups).toInt(&ok);
        if (!ok || sim.groups < 1 || sim.groups > 4000)
            return usage_error("--groups needs a number from 1 to 4000, not \"" + parser.value(groups) + "\"");
        sim.seed = parser.value(seed).toUInt(&ok);
        if (!ok) return usage_error("--seed needs a non-negative number, not \"" + parser.value(seed) + "\"");
        sim.pace = parser.isSet(pace);
        auto started = nlx::app::start_simulation(sim);
        if (!started) return usage_error(nlx::app::qs(started.message()));
        instrument = std::move(*started);
        settings = nlx::app::simulation_settings(*instrument);
        std::printf("virtual instrument on %s\n", instrument->device().c_str());
        std::fflush(stdout);
    }

    nlx::app::DesktopDialogs dialogs;
    nlx::app::Form1 form(nlx::application_folder(), dialogs);
    if (!parser.positionalArguments().isEmpty())
        form.offer_capture_after_confirmation(QFileInfo(parser.positionalArguments().front()).absoluteFilePath());
    form.start(settings);
    int code = application.exec();
    if (instrument) instrument->stop();
    return code;
}
