// Qt's own texts in the operator's language: the standard dialogs' and buttons' (确定, 取消,
// 另存为, 文件名 …).
#pragma once

#include <string_view>

class QCoreApplication;

namespace nlx::app {

// Installs Qt's Chinese catalogue (qtbase_zh_CN.qm of Qt's translations folder) on `application`;
// false, with Qt's English texts left in place, when the catalogue is not installed.
bool use_qt_chinese(QCoreApplication& application);
// Qt's catalogue of the language `code` ("zh": Chinese, as above; "fr": qtbase_fr.qm, "pt_BR":
// qtbase_pt_BR.qm or else qtbase_pt.qm); false, with Qt's English texts left, when there is none.
bool use_qt_language(QCoreApplication& application, std::string_view code);

}  // namespace nlx::app
