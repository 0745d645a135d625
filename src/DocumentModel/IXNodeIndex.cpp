#include "DocumentModel/IXNodeIndex.h"

#include <algorithm>

namespace {
template <typename Table, typename Key>
void removeFrom(Table& table, const Key& key, IXNode* node)
{
    const auto found = table.find(key);
    if (found == table.end()) return;
    IXNodeIndex::Nodes& nodes = *found;
    nodes.erase(std::remove(nodes.begin(), nodes.end(), node), nodes.end());
    if (nodes.isEmpty()) table.erase(found);
}

template <typename Table, typename Key>
const IXNodeIndex::Nodes* nodesIn(const Table& table, const Key& key)
{
    const auto found = table.constFind(key);
    return found == table.constEnd() ? nullptr : &*found;
}
}

bool IXNodeIndex::compact(const QString& uid, CompactId* id)
{
    if (uid.size() != 32) return false;
    quint64 words[2] = {0, 0};
    for (qsizetype i = 0; i < 32; ++i) {
        const char16_t c = uid[i].unicode();
        quint64 digit;
        if (c >= u'0' && c <= u'9') {
            digit = c - u'0';
        } else if (c >= u'A' && c <= u'F') {
            digit = c - u'A' + 10;
        } else {
            return false;  // lower case too: "a" and "A" are different ids
        }
        words[i / 16] = (words[i / 16] << 4) | digit;
    }
    id->high = words[0];
    id->low = words[1];
    return true;
}

void IXNodeIndex::reserve(qsizetype count)
{
    m_compact.reserve(count);
}

void IXNodeIndex::insert(const QString& uid, IXNode* node)
{
    if (uid.isEmpty()) return;
    CompactId id;
    if (compact(uid, &id)) {
        m_compact[id].append(node);
    } else {
        m_text[uid].append(node);
    }
}

void IXNodeIndex::remove(const QString& uid, IXNode* node)
{
    CompactId id;
    if (compact(uid, &id)) {
        removeFrom(m_compact, id, node);
    } else {
        removeFrom(m_text, uid, node);
    }
}

void IXNodeIndex::clear()
{
    m_compact.clear();
    m_text.clear();
}

const IXNodeIndex::Nodes* IXNodeIndex::nodes(const QString& uid) const
{
    CompactId id;
    return compact(uid, &id) ? nodesIn(m_compact, id) : nodesIn(m_text, uid);
}
