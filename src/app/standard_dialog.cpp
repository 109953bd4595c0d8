// The standard choice dialog.
#include "app/standard_dialog.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/operator_dialogs.h"
#include "app/qt_text.h"
#include "app/workspace.h"
#include "assess/standards.h"
#include "core/texts.h"

namespace nlx::app {
namespace {

// What the dialog says under the choice: the criterion of a class and the standard's rule, or
// what choosing no standard means.
QString limits_text(const assess::Standard* s, std::string_view zone) {
    if (!s) return qtr(texts::kNoStandardHint);
    QString text;
    if (!s->classes.empty()) {
        auto c = assess::make_criterion(s->key, zone, std::nullopt, std::nullopt);
        if (c) text = qs(c->description(Wording::operator_language)) + QStringLiteral("\n");
    }
    return text + qs(fill(nlx::tr(texts::kRuleLine), {nlx::tr(s->rule)}));
}

QDoubleSpinBox* limit_box(QWidget* parent, const char* name) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setRange(0, 200);
    box->setDecimals(1);
    box->setSingleStep(1);
    box->setSuffix(QStringLiteral(" dB"));
    return box;
}

}  // namespace

StandardDialog::StandardDialog(Workspace& workspace, OperatorDialogs& dialogs, QWidget* parent)
    : QDialog(parent), workspace_(workspace), dialogs_(dialogs) {
    setObjectName("standardDialog");
    setWindowTitle(qtr(texts::kStandardDialogTitle));

    standards_ = new QComboBox(this);
    standards_->setObjectName("standardList");
    standards_->addItem(qtr(texts::kNoStandard), QString());
    for (const auto& s : assess::all_standards())
        standards_->addItem(qs(std::string(nlx::tr(s.source)) + " " + std::string(nlx::tr(s.title))), qs(s.key));
    class_label_ = new QLabel(this);
    class_label_->setObjectName("classLabel");
    classes_ = new QComboBox(this);
    classes_->setObjectName("classList");
    day_label_ = new QLabel(this);
    day_label_->setObjectName("dayLabel");
    day_ = limit_box(this, "dayLimit");
    night_label_ = new QLabel(this);
    night_label_->setObjectName("nightLabel");
    night_ = limit_box(this, "nightLimit");

    limits_ = new QLabel(this);
    limits_->setObjectName("limits");
    limits_->setWordWrap(true);
    // Room for the longest of the texts at the narrowest, so that none is cut off and the dialog
    // does not jump between standards.
    const int width = limits_->fontMetrics().averageCharWidth() * 60;
    int height = 0;
    auto room = [&](const QString& text) {
        height = std::max(height, limits_->fontMetrics().boundingRect(QRect(0, 0, width, 1 << 16), Qt::TextWordWrap, text).height());
    };
    room(limits_text(nullptr, {}));
    for (const auto& s : assess::all_standards()) {
        room(limits_text(&s, {}));
        for (const auto& c : s.classes) room(limits_text(&s, c.key));
    }
    limits_->setMinimumSize(width, height);
    note_ = new QLabel(this);
    note_->setObjectName("note");
    note_->setWordWrap(true);
    note_->setStyleSheet(QStringLiteral("color: #b00000"));
    note_->hide();

    auto* form = new QFormLayout;
    form->addRow(qtr(texts::kStandardField), standards_);
    form->addRow(class_label_, classes_);
    form->addRow(day_label_, day_);
    form->addRow(night_label_, night_);

    auto* save_button = new QPushButton(qtr(texts::kStandardSave), this);
    save_button->setObjectName("save");
    save_button->setDefault(true);
    auto* cancel_button = new QPushButton(qtr(texts::kStandardCancel), this);
    cancel_button->setObjectName("cancel");
    connect(save_button, &QPushButton::clicked, this, &StandardDialog::save);
    connect(cancel_button, &QPushButton::clicked, this, &QWidget::hide);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save_button);
    buttons->addWidget(cancel_button);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(limits_);
    layout->addWidget(note_);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(standards_, &QComboBox::currentIndexChanged, this, &StandardDialog::standard_picked);
    connect(classes_, &QComboBox::currentIndexChanged, this, &StandardDialog::show_limits);
    standard_picked();
}

void StandardDialog::standard_picked() {
    const assess::Standard* s = assess::find_standard(utf8(standards_->currentData().toString()));
    const bool classes = s && !s->classes.empty(), limits = s && s->classes.empty();
    const bool eu = s && s->id == assess::StandardId::eu;
    classes_->blockSignals(true);
    classes_->clear();
    if (classes)
        for (const auto& c : s->classes) classes_->addItem(qtr(c.name), qs(c.key));
    classes_->blockSignals(false);
    class_label_->setText(qs(s && s->id == assess::StandardId::gb10070 ? nlx::tr(texts::kAreaField) : nlx::tr(texts::kZoneField)));
    day_label_->setText(qs(eu ? nlx::tr(texts::kLdenLimitField) : nlx::tr(texts::kDayLimitField)));
    night_label_->setText(qs(eu ? nlx::tr(texts::kLnightLimitField) : nlx::tr(texts::kNightLimitField)));
    for (QWidget* w : {static_cast<QWidget*>(class_label_), static_cast<QWidget*>(classes_)}) w->setVisible(classes);
    for (QWidget* w : {static_cast<QWidget*>(day_label_), static_cast<QWidget*>(day_), static_cast<QWidget*>(night_label_),
                       static_cast<QWidget*>(night_)})
        w->setVisible(limits);
    show_limits();
}

void StandardDialog::show_limits() {
    const assess::Standard* s = assess::find_standard(utf8(standards_->currentData().toString()));
    limits_->setText(limits_text(s, utf8(classes_->currentData().toString())));
}

void StandardDialog::select() {
    const auto& choice = workspace_.standard_choice();
    const assess::Standard* s = choice ? assess::find_standard(choice->standard) : nullptr;
    standards_->setCurrentIndex(s ? std::max(0, standards_->findData(qs(s->key))) : 0);
    standard_picked();
    if (s && !s->classes.empty()) classes_->setCurrentIndex(std::max(0, classes_->findData(qs(choice->zone))));
    // Limits of the standards without classes: the operator's own, or a start that reads.
    const bool eu = s && s->id == assess::StandardId::eu;
    day_->setValue(s && s->classes.empty() && choice->day ? *choice->day : eu ? 55 : 60);
    night_->setValue(s && s->classes.empty() && choice->night ? *choice->night : 50);
    note_->setText(workspace_.standard_note());
    note_->setVisible(!workspace_.standard_note().isEmpty());
}

Result<std::optional<StandardChoice>> StandardDialog::chosen() const {
    const assess::Standard* s = assess::find_standard(utf8(standards_->currentData().toString()));
    if (!s) return std::optional<StandardChoice>();
    StandardChoice choice{std::string(s->key), {}, {}, {}};
    if (!s->classes.empty()) choice.zone = utf8(classes_->currentData().toString());
    else choice.day = day_->value(), choice.night = night_->value();
    if (auto c = assess::make_criterion(choice.standard, choice.zone, choice.day, choice.night); !c)
        return fail(texts::standard_invalid(c.message()));
    return std::optional<StandardChoice>(choice);
}

void StandardDialog::save() {
    auto choice = chosen();
    if (!choice) {
        dialogs_.inform(this, {}, qs(choice.message()));
        return;
    }
    if (auto saved = workspace_.choose_standard(*choice); !saved) {
        dialogs_.inform(this, {}, qs(texts::standard_save_failed(saved.message())));
        return;
    }
    note_->hide();
    hide();
    const auto& criterion = workspace_.criterion();
    const std::string file = workspace_.standard_file().string();
    dialogs_.inform(parentWidget(), {},
                    qs(criterion ? texts::standard_saved(criterion->description(Wording::operator_language), file)
                                 : texts::standard_cleared(file)));
}

}  // namespace nlx::app
