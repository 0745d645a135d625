#include "DocumentModel/IXNodeIndex.h"

template <typename Key>
void IXNodeIndex::Table<Key>::insert(const Key& key, IXNode* node)
{
    IXNode*& slot = first[key];  // nodes are never null: a null slot is a new one
    if (!slot) {
        slot = node;
    } else {
        later[key].append(node);
    }
}

template <typename Key>
void IXNodeIndex::Table<Key>::remove(const Key& key, IXNode* node)
{
    const auto found = first.find(key);
    if (found == first.end()) return;
    auto more = later.find(key);
    if (more != later.end()) {
        more->removeAll(node);
        if (*found == node && !more->isEmpty()) *found = more->takeFirst();
        if (more->isEmpty()) later.erase(more);
        if (*found != node) return;
    } else if (*found != node) {
        return;
    }
    first.erase(found);
}

template <typename Key>
IXNodeIndex::Nodes IXNodeIndex::Table<Key>::nodes(const Key& key) const
{
    Nodes result;
    const auto found = first.constFind(key);
    if (found == first.constEnd()) return result;
    result.append(*found);
    const auto more = later.constFind(key);
    if (more != later.constEnd()) result.append(more->constData(), more->size());
    return result;
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
    m_compact.first.reserve(count);
}

void IXNodeIndex::insert(const QString& uid, IXNode* node)
{
    if (uid.isEmpty()) return;
    CompactId id;
    if (compact(uid, &id)) {
        m_compact.insert(id, node);
    } else {
        m_text.insert(uid, node);
    }
}

void IXNodeIndex::remove(const QString& uid, IXNode* node)
{
    CompactId id;
    if (compact(uid, &id)) {
        m_compact.remove(id, node);
    } else {
        m_text.remove(uid, node);
    }
}

void IXNodeIndex::clear()
{
    m_compact = {};
    m_text = {};
}

IXNodeIndex::Nodes IXNodeIndex::nodes(const QString& uid) const
{
    CompactId id;
    return compact(uid, &id) ? m_compact.nodes(id) : m_text.nodes(uid);
}
