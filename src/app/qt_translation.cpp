// Loading Qt's Chinese catalogue.
#include "app/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace nlx::app {

bool use_qt_chinese(QCoreApplication& application) {
    auto* catalogue = new QTranslator(&application);
    if (!catalogue->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete catalogue;
        return false;
    }
    return QCoreApplication::installTranslator(catalogue);
}

}  // namespace nlx::app
