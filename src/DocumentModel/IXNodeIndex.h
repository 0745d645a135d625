#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QVarLengthArray>

class IXNode;

// The attached nodes of a document by id, for look-ups in constant time. A damaged file may
// repeat an id, so an id may stand for several nodes; they are kept in the order they were
// inserted. The index holds the nodes without owning them: a node is removed before it goes.
//
// Ids of the program's own form (32 upper-case hexadecimal digits) are kept as two 64-bit
// words, so that a map of 100,000 nodes is indexed without a string look-up per probe; any
// other id is kept as its text. Either way an id matches only its exact text. The first node
// of an id sits in the table itself; only repeated ids need a list.
class IXNodeIndex {
public:
    using Nodes = QVarLengthArray<IXNode*, 1>;

    // Room for count ids without growing.
    void reserve(qsizetype count);
    // Appends the node to those of the id; an empty id is not indexed.
    void insert(const QString& uid, IXNode* node);
    // Removes every entry of that node under that id.
    void remove(const QString& uid, IXNode* node);
    void clear();
    // The nodes of the id, first inserted first; none when the id is not indexed.
    Nodes nodes(const QString& uid) const;
    // The number of distinct ids.
    qsizetype size() const { return m_compact.first.size() + m_text.first.size(); }

private:
    struct CompactId {
        quint64 high = 0;
        quint64 low = 0;
        bool operator==(const CompactId&) const = default;
    };
    friend size_t qHash(const CompactId& id, size_t seed) noexcept { return qHashBits(&id, sizeof id, seed); }
    static bool compact(const QString& uid, CompactId* id);

    template <typename Key>
    struct Table {
        QHash<Key, IXNode*> first;
        QHash<Key, QList<IXNode*>> later;

        void insert(const Key& key, IXNode* node);
        void remove(const Key& key, IXNode* node);
        Nodes nodes(const Key& key) const;
    };

    Table<CompactId> m_compact;
    Table<QString> m_text;
};
