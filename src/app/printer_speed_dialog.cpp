// Speed dialog of the micro-printer.
#include "app/printer_speed_dialog.h"

#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "core/texts.h"

namespace nlx::app {

PrinterSpeedDialog::PrinterSpeedDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("Form5");
    setWindowTitle(qs(texts::kSpeedTitle));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    struct Speed {
        const char* name;
        std::string_view caption;
        int ms;
    };
    for (const Speed& speed : {Speed{"Option1", texts::kSpeedSlow, 40000}, Speed{"Option2", texts::kSpeedMedium, 30000},
                               Speed{"Option3", texts::kSpeedFast, 20000}}) {
        auto* option = new QRadioButton(qs(speed.caption), this);
        option->setObjectName(speed.name);
        layout->addWidget(option);
        connect(option, &QRadioButton::clicked, this, [this, ms = speed.ms] {
            emit interval_chosen(std::chrono::milliseconds(ms));
            hide();
        });
    }
    auto* hint = new QPushButton(qs(texts::kSpeedHint), this);
    hint->setObjectName("Command1");
    layout->addWidget(hint);
    connect(hint, &QPushButton::clicked, this, &QWidget::hide);
}

}  // namespace nlx::app
