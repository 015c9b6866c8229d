#include "platform/widget_text.h"

#include "text/gbk.h"

#include <QByteArray>

namespace lorvane {

QString to_qstring(const Text& text) {
    const std::string utf8 = gbk_to_utf8(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

Text from_qstring(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return utf8_to_gbk(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

} // namespace lorvane
