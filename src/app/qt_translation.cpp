// Loading Qt's catalogue of the operator's language.
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

bool use_qt_language(QCoreApplication& application, std::string_view code) {
    if (code == "zh") return use_qt_chinese(application);
    auto* catalogue = new QTranslator(&application);
    // QTranslator tries qtbase_pt_BR, then qtbase_pt.
    const QString name = QStringLiteral("qtbase_") + QString::fromUtf8(code.data(), qsizetype(code.size()));
    if (!catalogue->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath), QStringLiteral("_@"))) {
        delete catalogue;
        return false;
    }
    return QCoreApplication::installTranslator(catalogue);
}

}  // namespace nlx::app
