#include "Platform/XML/PLPropertyList.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>

#include <plist/plist.h>

#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>

// libplist does the parsing and the formatting. Where its value API is narrower than its
// text forms (dates are handed out as 32-bit seconds, integers as bits without their sign),
// values go through the text form of the single node instead.

const QString PLPropertyList::ErrorDomain = QStringLiteral("PLPropertyListErrorDomain");

namespace {

constexpr int ReadErrorCode = 1;
constexpr int WriteErrorCode = 2;

PLError makeError(int code, const QString& reason)
{
    return PLError(PLPropertyList::ErrorDomain, code, {{PLError::FailureReasonKey, reason}});
}

// Dates in their text form: "2001-01-01T00:00:00Z", always UTC.
QByteArray dateText(const QDateTime& utc)
{
    return utc.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'")).toLatin1();
}

// Also takes libplist's own form of years below 1000, which it writes without zeros in front.
QDateTime dateFromText(const QByteArray& text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,4})-(\\d\\d)-(\\d\\d)T(\\d\\d):(\\d\\d):(\\d\\d)Z$"));
    const QRegularExpressionMatch match = form.match(QString::fromLatin1(text));
    if (!match.hasMatch()) return {};
    const auto number = [&](int group) { return match.captured(group).toInt(); };
    const QDate day(number(1), number(2), number(3));
    const QTime time(number(4), number(5), number(6));
    if (!day.isValid() || !time.isValid()) return {};
    return QDateTime(day, time, QTimeZone::utc());
}

struct PlistFree {
    void operator()(char* text) const { std::free(text); }
};
using CString = std::unique_ptr<char, PlistFree>;

// The text between <tag> and </tag> in the XML of one node.
QByteArray scalarText(plist_t node, const char* tag)
{
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(node, &xml, &length);
    if (!xml) return {};
    const QByteArray text(xml, static_cast<qsizetype>(length));
    plist_to_xml_free(xml);
    const QByteArray open = QByteArray("<") + tag + ">";
    const qsizetype start = text.indexOf(open);
    const qsizetype end = text.indexOf(QByteArray("</") + tag + ">", start);
    if (start < 0 || end < 0) return {};
    return text.mid(start + open.size(), end - start - open.size()).trimmed();
}

// A single node made from its text form.
plist_t nodeFromText(const char* tag, const QByteArray& text)
{
    const QByteArray xml = QByteArray("<plist version=\"1.0\"><") + tag + ">" + text + "</" + tag + "></plist>";
    plist_t node = nullptr;
    plist_from_xml(xml.constData(), static_cast<uint32_t>(xml.size()), &node);
    return node;
}

bool isContainer(plist_t node)
{
    const plist_type type = plist_get_node_type(node);
    return type == PLIST_ARRAY || type == PLIST_DICT;
}

std::size_t childCount(plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_ARRAY: return plist_array_get_size(node);
    case PLIST_DICT: return plist_dict_get_size(node);
    default: return 0;
    }
}

plist_t firstChild(plist_t node)
{
    if (childCount(node) == 0) return nullptr;
    if (plist_get_node_type(node) == PLIST_ARRAY) return plist_array_get_item(node, 0);
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(node, &iterator);
    char* key = nullptr;
    plist_t value = nullptr;
    plist_dict_next_item(node, iterator, &key, &value);
    std::free(key);
    std::free(iterator);
    return value;
}

void removeFirstChild(plist_t parent, plist_t child)
{
    if (plist_get_node_type(parent) == PLIST_ARRAY) {
        plist_array_remove_item(parent, 0);
        return;
    }
    char* key = nullptr;
    plist_dict_get_item_key(child, &key);
    if (key) plist_dict_remove_item(parent, key);
    std::free(key);
}

// plist_free recurses once per level; a hostile tree is taken apart from the bottom instead,
// so that no call frees more than one level.
void freeWithoutRecursion(plist_t root)
{
    std::vector<plist_t> path{root};
    while (!path.empty()) {
        plist_t node = path.back();
        plist_t child = firstChild(node);
        if (!child) {
            path.pop_back();
            if (path.empty()) plist_free(node);
            else removeFirstChild(path.back(), node);
        } else if (isContainer(child) && childCount(child) > 0) {
            path.push_back(child);
        } else {
            removeFirstChild(node, child);
        }
    }
}

// ---- Reading

struct Reader {
    QString failure;

    bool fail(const QString& reason)
    {
        failure = reason;
        return false;
    }

    bool convert(plist_t node, int depth, QVariant& out)
    {
        switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            uint8_t value = 0;
            plist_get_bool_val(node, &value);
            out = QVariant(value != 0);
            return true;
        }
        case PLIST_UINT: {
            uint64_t bits = 0;
            plist_get_uint_val(node, &bits);
            if (bits <= static_cast<uint64_t>(std::numeric_limits<qint64>::max()) || scalarText(node, "integer").startsWith('-')) {
                out = QVariant(static_cast<qint64>(bits));
            } else {
                out = QVariant(static_cast<quint64>(bits));
            }
            return true;
        }
        case PLIST_REAL: {
            double value = 0;
            plist_get_real_val(node, &value);
            out = QVariant(value);
            return true;
        }
        case PLIST_STRING: {
            uint64_t length = 0;
            const char* text = plist_get_string_ptr(node, &length);
            out = QVariant(QString::fromUtf8(text, text ? static_cast<qsizetype>(length) : 0));
            return true;
        }
        case PLIST_DATA: {
            uint64_t length = 0;
            const char* bytes = plist_get_data_ptr(node, &length);
            out = QVariant(QByteArray(bytes, bytes ? static_cast<qsizetype>(length) : 0));
            return true;
        }
        case PLIST_DATE: {
            const QDateTime date = dateFromText(scalarText(node, "date"));
            if (!date.isValid()) return fail(QStringLiteral("The property list contains an invalid date."));
            out = QVariant(date);
            return true;
        }
        case PLIST_ARRAY: {
            if (depth >= PLPropertyList::MaxDepth) return fail(QStringLiteral("The property list is nested too deeply."));
            QVariantList list;
            list.reserve(static_cast<qsizetype>(plist_array_get_size(node)));
            plist_array_iter iterator = nullptr;
            plist_array_new_iter(node, &iterator);
            const std::unique_ptr<void, decltype(&std::free)> owned(iterator, &std::free);
            for (plist_t item = nullptr;;) {
                item = nullptr;
                plist_array_next_item(node, iterator, &item);
                if (!item) break;
                QVariant value;
                if (!convert(item, depth + 1, value)) return false;
                list.append(std::move(value));
            }
            out = QVariant(std::move(list));
            return true;
        }
        case PLIST_DICT: {
            if (depth >= PLPropertyList::MaxDepth) return fail(QStringLiteral("The property list is nested too deeply."));
            QVariantMap map;
            plist_dict_iter iterator = nullptr;
            plist_dict_new_iter(node, &iterator);
            const std::unique_ptr<void, decltype(&std::free)> owned(iterator, &std::free);
            for (;;) {
                char* rawKey = nullptr;
                plist_t item = nullptr;
                plist_dict_next_item(node, iterator, &rawKey, &item);
                const CString key(rawKey);
                if (!item) break;
                QVariant value;
                if (!convert(item, depth + 1, value)) return false;
                map.insert(QString::fromUtf8(key ? key.get() : ""), std::move(value));
            }
            out = QVariant(std::move(map));
            return true;
        }
        default:
            return fail(QStringLiteral("The property list contains an unsupported value."));
        }
    }
};

// ---- Writing

struct Writer {
    QString failure;

    plist_t fail(const QString& reason)
    {
        failure = reason;
        return nullptr;
    }

    static bool hasNul(const QString& text) { return text.contains(QChar(u'\0')); }

    plist_t integer(qint64 value) { return plist_new_uint(static_cast<uint64_t>(value)); }

    plist_t unsignedInteger(quint64 value)
    {
        if (value <= static_cast<quint64>(std::numeric_limits<qint64>::max())) return integer(static_cast<qint64>(value));
        // Made from text, so that the node is written without a sign.
        plist_t node = nodeFromText("integer", QByteArray::number(value));
        return node ? node : fail(QStringLiteral("The integer cannot be written."));
    }

    plist_t date(const QDateTime& value)
    {
        if (!value.isValid()) return fail(QStringLiteral("The date is invalid."));
        const QDateTime utc = value.toUTC();
        const int year = utc.date().year();
        if (year < 1 || year > 9999) return fail(QStringLiteral("The date lies outside the years 1 to 9999."));
        const QByteArray text = dateText(utc);
        plist_t node = nodeFromText("date", text);
        // Only a date that comes back unchanged is written.
        if (node && dateFromText(scalarText(node, "date")) == utc) return node;
        if (node) plist_free(node);
        return fail(QStringLiteral("The date cannot be written."));
    }

    plist_t string(const QString& text)
    {
        if (hasNul(text)) return fail(QStringLiteral("A string contains a NUL character."));
        return plist_new_string(text.toUtf8().constData());
    }

    plist_t array(const QVariantList& list, int depth)
    {
        if (depth >= PLPropertyList::MaxDepth) return fail(QStringLiteral("The value is nested too deeply."));
        plist_t node = plist_new_array();
        for (const QVariant& item : list) {
            plist_t child = convert(item, depth + 1);
            if (!child) {
                plist_free(node);
                return nullptr;
            }
            plist_array_append_item(node, child);
        }
        return node;
    }

    template <typename Map>
    plist_t dictionary(const Map& map, int depth)
    {
        if (depth >= PLPropertyList::MaxDepth) return fail(QStringLiteral("The value is nested too deeply."));
        QStringList keys = map.keys();
        keys.sort(); // a hash has no order of its own
        plist_t node = plist_new_dict();
        for (const QString& key : keys) {
            if (hasNul(key)) {
                plist_free(node);
                return fail(QStringLiteral("A key contains a NUL character."));
            }
            plist_t child = convert(map.value(key), depth + 1);
            if (!child) {
                plist_free(node);
                return nullptr;
            }
            plist_dict_set_item(node, key.toUtf8().constData(), child);
        }
        return node;
    }

    plist_t convert(const QVariant& value, int depth)
    {
        switch (value.typeId()) {
        case QMetaType::Bool: return plist_new_bool(value.toBool() ? 1 : 0);
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::Short:
        case QMetaType::Int:
        case QMetaType::Long:
        case QMetaType::LongLong: return integer(value.toLongLong());
        case QMetaType::UChar:
        case QMetaType::UShort:
        case QMetaType::UInt:
        case QMetaType::ULong:
        case QMetaType::ULongLong: return unsignedInteger(value.toULongLong());
        case QMetaType::Float:
        case QMetaType::Double: return plist_new_real(value.toDouble());
        case QMetaType::QString: return string(value.toString());
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            return plist_new_data(bytes.constData(), static_cast<uint64_t>(bytes.size()));
        }
        case QMetaType::QDateTime: return date(value.toDateTime());
        case QMetaType::QStringList:
        case QMetaType::QVariantList: return array(value.toList(), depth);
        case QMetaType::QVariantMap: return dictionary(value.toMap(), depth);
        case QMetaType::QVariantHash: return dictionary(value.toHash(), depth);
        default:
            return fail(QStringLiteral("A value of type %1 cannot be written to a property list.")
                            .arg(QString::fromLatin1(value.metaType().name() ? value.metaType().name() : "invalid")));
        }
    }
};

} // namespace

QVariant PLPropertyList::read(const QByteArray& data, PLError* error)
{
    if (data.size() > MaxDataSize) {
        PLSetError(error, makeError(ReadErrorCode, QStringLiteral("The property list is too large.")));
        return {};
    }
    if (data.startsWith("bplist")) {
        PLSetError(error, makeError(ReadErrorCode, QStringLiteral("Binary property lists are not supported.")));
        return {};
    }
    // The parser takes NUL bytes inside strings and cuts keys short at them; the writer
    // refuses both, and no well-formed XML holds one, so such input is refused whole.
    if (data.contains('\0')) {
        PLSetError(error, makeError(ReadErrorCode, QStringLiteral("The property list contains a NUL character.")));
        return {};
    }
    plist_t root = nullptr;
    if (!data.isEmpty()) plist_from_xml(data.constData(), static_cast<uint32_t>(data.size()), &root);
    if (!root) {
        PLSetError(error, makeError(ReadErrorCode, QStringLiteral("The data is not a valid XML property list.")));
        return {};
    }
    Reader reader;
    QVariant value;
    if (!reader.convert(root, 0, value)) {
        // The rest of the tree was not visited and may be arbitrarily deep.
        freeWithoutRecursion(root);
        PLSetError(error, makeError(ReadErrorCode, reader.failure));
        return {};
    }
    plist_free(root);
    return value;
}

QByteArray PLPropertyList::write(const QVariant& value, PLError* error)
{
    Writer writer;
    plist_t root = writer.convert(value, 0);
    if (!root) {
        PLSetError(error, makeError(WriteErrorCode, writer.failure));
        return {};
    }
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root, &xml, &length);
    plist_free(root);
    if (!xml) {
        PLSetError(error, makeError(WriteErrorCode, QStringLiteral("The property list could not be formatted.")));
        return {};
    }
    QByteArray result(xml, static_cast<qsizetype>(length));
    plist_to_xml_free(xml);
    // The document type declaration names an external DTD that no reader here loads; parts are
    // written without it so that they stay self-contained.
    const qsizetype doctype = result.indexOf("<!DOCTYPE");
    if (doctype >= 0) {
        qsizetype end = result.indexOf('>', doctype);
        if (end >= 0) {
            ++end;
            if (end < result.size() && result.at(end) == '\n') ++end;
            result.remove(doctype, end - doctype);
        }
    }
    return result;
}
