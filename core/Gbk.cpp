#include "core/Gbk.h"

namespace gbk {
Encoded encode(const QString &text) { return {text.toLocal8Bit(), {}}; }
QString decode(const QByteArray &bytes) { return QString::fromLocal8Bit(bytes); }
QString StreamDecoder::decode(const QByteArray &piece) { return gbk::decode(piece); }
QString StreamDecoder::flush() { return {}; }
} // namespace gbk
