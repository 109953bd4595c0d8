// Chinese-capable application font.
#include "render/cjk_font.h"

#include <QApplication>
#include <QFontDatabase>

namespace nlx::render {

void use_cjk_font(QApplication& application) {
    QFont font = application.font();
    if (QFontDatabase::writingSystems(font.family()).contains(QFontDatabase::SimplifiedChinese)) return;
    const QStringList families = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    if (families.isEmpty()) return;
    QString chosen = families.front();
    for (const QString& preferred : {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                                     QStringLiteral("Noto Sans SC")})
        if (families.contains(preferred)) {
            chosen = preferred;
            break;
        }
    font.setFamily(chosen);
    application.setFont(font);
}

}  // namespace nlx::render
