// Model selection dialog: built from the model table, unloaded after each confirmation.
#include "app/model_dialog.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "core/models.h"
#include "core/texts.h"

namespace nlx::app {

ModelDialog::ModelDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("Form6");
    setWindowTitle(qtr(texts::kModelDialogTitle));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(36, 24, 36, 24);
    layout->setSpacing(10);
    auto* prompt = new QLabel(qtr(texts::kModelPrompt), this);
    prompt->setObjectName("Label1");
    QFont big = prompt->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    prompt->setFont(big);
    layout->addWidget(prompt);
    auto* group = new QButtonGroup(this);
    int n = 0;
    for (const auto& model : all_models()) {
        auto* option = new QRadioButton(qs(model.option_caption), this);
        option->setObjectName(QStringLiteral("Option%1").arg(++n));
        option->setProperty("letter", QChar(model.letter));
        group->addButton(option);
        options_.push_back(option);
        layout->addWidget(option);
    }
    confirm_ = new QPushButton(qtr(texts::kModelConfirm), this);
    confirm_->setObjectName("Command1");
    confirm_->setEnabled(false);
    layout->addSpacing(6);
    layout->addWidget(confirm_, 0, Qt::AlignHCenter);
    connect(group, &QButtonGroup::buttonClicked, this, [this] { confirm_->setEnabled(true); });
    connect(confirm_, &QPushButton::clicked, this, [this] {
        char letter = chosen();
        if (letter == 0) return;
        hide();
        emit confirmed(letter);
        close();
    });
}

char ModelDialog::chosen() const {
    char letter = 0;
    // Every option is tested in turn; only one can be chosen.
    for (auto* option : options_)
        if (option->isChecked()) letter = char(option->property("letter").toChar().toLatin1());
    return letter;
}

}  // namespace nlx::app
