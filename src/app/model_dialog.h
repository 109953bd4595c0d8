// The model selection dialog `Form6`: five options, none chosen, and "确 定" once one is.
#pragma once

#include <QDialog>

class QPushButton;
class QRadioButton;

namespace nlx::app {

class ModelDialog final : public QDialog {
    Q_OBJECT
public:
    explicit ModelDialog(QWidget* parent = nullptr);

    // The chosen model letter, 0 while none is chosen.
    char chosen() const;

signals:
    void confirmed(char letter);

private:
    std::vector<QRadioButton*> options_;
    QPushButton* confirm_;
};

}  // namespace nlx::app
