// Speed dialog of the micro-printer.
#include "app/printer_speed_dialog.h"

#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "core/texts.h"
#include "link/tm27_session.h"

namespace nlx::app {

PrinterSpeedDialog::PrinterSpeedDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("Form5");
    setWindowTitle(qtr(texts::kSpeedTitle));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    const std::string_view captions[] = {nlx::tr(texts::kSpeedSlow), nlx::tr(texts::kSpeedMedium), nlx::tr(texts::kSpeedFast)};
    int n = 0;
    for (const link::Tm27Speed speed : link::kTm27Speeds) {
        auto* option = new QRadioButton(qs(captions[n]), this);
        option->setObjectName(QStringLiteral("Option%1").arg(++n));
        layout->addWidget(option);
        connect(option, &QRadioButton::clicked, this, [this, speed] {
            emit interval_chosen(link::tm27_tick(speed));
            hide();
        });
    }
    auto* hint = new QPushButton(qtr(texts::kSpeedHint), this);
    hint->setObjectName("Command1");
    layout->addWidget(hint);
    connect(hint, &QPushButton::clicked, this, &QWidget::hide);
}

}  // namespace nlx::app
