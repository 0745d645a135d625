#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class IXStyleNode;
class IXStyleSheetNode;

// The styles of one style sheet and the links that decide what they show: the node styles by
// ref, the nine masters, the shared reading styles and the master sheet. Every change of any
// of them, and every change of a style's own values, type, master or ref (IXStyleNode calls
// noteChange), passes through this class and moves changeCount(). What sheets and nodes keep
// of a look-up (resolved values, reading styles) holds only while lookupChangeCount() is
// unchanged: it moves with every change but that of a value of a node style other than the
// document's, which no kept look-up reads (a layout giving 100,000 branches their sides
// would otherwise drop every kept look-up 100,000 times).
// Styles are adopted with the sheet as their parent and leave it when they are released.
class IXStyleSheetStyles {
public:
    using StyleList = QList<std::shared_ptr<IXStyleNode>>;
    static constexpr int MasterCount = 9;

    explicit IXStyleSheetStyles(IXStyleSheetNode& sheet) : m_sheet(sheet) {}
    // The sheet releases its styles itself, while it is still whole.
    ~IXStyleSheetStyles() { releaseAll(); }
    IXStyleSheetStyles(const IXStyleSheetStyles&) = delete;
    IXStyleSheetStyles& operator=(const IXStyleSheetStyles&) = delete;

    // Main thread only, like every node.
    static std::uint64_t changeCount() { return s_changeCount; }
    static std::uint64_t lookupChangeCount() { return s_lookupChangeCount; }

    // --- Node styles, by the ref of their node ---
    bool hasNodeStyles() const { return !m_nodeStyles.isEmpty(); }
    std::shared_ptr<IXStyleNode> nodeStyle(const QString& ref) const { return m_nodeStyles.value(ref); }
    bool containsNodeStyle(const QString& ref) const { return m_nodeStyles.contains(ref); }
    const QHash<QString, std::shared_ptr<IXStyleNode>>& nodeStyles() const { return m_nodeStyles; }
    // Adopts the style under its ref; the style it replaces (released) is returned.
    std::shared_ptr<IXStyleNode> adoptNodeStyle(const std::shared_ptr<IXStyleNode>& style);

    // --- Masters: none, or nine (index = type) ---
    const StyleList& masters() const { return m_masters; }
    // Adopts the list (none unless it holds nine styles) and releases the old masters.
    void setMasters(const StyleList& masters);
    void replaceMaster(int type, const std::shared_ptr<IXStyleNode>& style);

    // --- Shared reading styles, by master type ---
    const std::shared_ptr<IXStyleNode>& sharedStyle(int type) const { return m_sharedStyles[std::size_t(type)]; }
    const std::array<std::shared_ptr<IXStyleNode>, MasterCount>& sharedStyles() const { return m_sharedStyles; }
    void adoptSharedStyle(int type, const std::shared_ptr<IXStyleNode>& style);

    // --- The master sheet (a layout sheet's document sheet), not owned ---
    IXStyleSheetNode* masterSheet() const { return m_masterSheet; }
    // Also marks a change when the link stays: the sheet's document changed.
    void setMasterSheet(IXStyleSheetNode* sheet);

    // Releases every style.
    void releaseAll();

private:
    friend class IXStyleNode;
    static void noteChange()
    {
        ++s_changeCount;
        ++s_lookupChangeCount;
    }
    // A change of one of the style's own values.
    static void noteValueChange(const IXStyleNode& style);
    void adopt(IXStyleNode& style);
    void release(const std::shared_ptr<IXStyleNode>& style);

    inline static std::uint64_t s_changeCount = 0;
    inline static std::uint64_t s_lookupChangeCount = 0;

    IXStyleSheetNode& m_sheet;
    QHash<QString, std::shared_ptr<IXStyleNode>> m_nodeStyles;
    StyleList m_masters;
    std::array<std::shared_ptr<IXStyleNode>, MasterCount> m_sharedStyles;
    IXStyleSheetNode* m_masterSheet = nullptr;
};
