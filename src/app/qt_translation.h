// Qt's own texts in Chinese: the standard dialogs' and buttons' (确定, 取消, 另存为, 文件名 …).
#pragma once

class QCoreApplication;

namespace nlx::app {

// Installs Qt's Chinese catalogue (qtbase_zh_CN.qm of Qt's translations folder) on `application`;
// false, with Qt's English texts left in place, when the catalogue is not installed.
bool use_qt_chinese(QCoreApplication& application);

}  // namespace nlx::app
