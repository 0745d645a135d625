#include "DocumentModel/IXDocumentSearchEnumerator.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXReferenceNode.h"
#include "Platform/Text/PLAttributedString.h"

#include <array>

namespace {

using Type = IXDocumentSearchEnumerator::Type;

// The lists of a parent in walking order; a note's two entries count in one list.
constexpr std::array<std::uint32_t, 3> DocumentLists {Type::BranchTitle, Type::Comment, Type::PictureLabel};
constexpr std::array<std::uint32_t, 6> BranchLists {Type::BranchTitle,     Type::NoteTitle, Type::AttachmentTitle,
                                                    Type::ConnectionTitle, Type::Comment,   Type::PictureLabel};

std::uint32_t listOf(std::uint32_t type)
{
    return type == Type::NoteText ? std::uint32_t(Type::NoteTitle) : type;
}

// The entry type that an entry entering a list from behind takes: a note is entered at its text.
std::uint32_t lastEntryOf(std::uint32_t list)
{
    return list == Type::NoteTitle ? std::uint32_t(Type::NoteText) : list;
}

int listSize(IXNode* parent, std::uint32_t type)
{
    if (parent->isDocument()) {
        auto* document = static_cast<IXDocumentNode*>(parent);
        switch (type) {
        case Type::BranchTitle:
            return int(document->rootBranches().size());
        case Type::Comment:
            return int(document->comments().size());
        case Type::PictureLabel:
            return int(document->pictures().size());
        default:
            return 0;
        }
    }
    auto* branch = dynamic_cast<IXBranchNode*>(parent);
    if (!branch) return 0;
    switch (type) {
    case Type::BranchTitle:
        return int(branch->branches().size());
    case Type::AttachmentTitle:
        return int(branch->attachments().size());
    case Type::Comment:
        return branch->comment() ? 1 : 0;
    case Type::PictureLabel:
        return branch->picture() ? 1 : 0;
    case Type::ConnectionTitle:
        return int(branch->connections().size());
    case Type::NoteTitle:
    case Type::NoteText:
        return int(branch->textnotes().size());
    default:
        return 0;
    }
}

// The element of a list that listSize counted.
IXNode* childAt(IXNode* parent, std::uint32_t type, std::uint32_t index)
{
    const auto at = qsizetype(index);
    if (parent->isDocument()) {
        auto* document = static_cast<IXDocumentNode*>(parent);
        switch (type) {
        case Type::BranchTitle:
            return document->rootBranches().at(at).get();
        case Type::Comment:
            return document->comments().at(at).get();
        default:
            return document->pictures().at(at).get();
        }
    }
    auto* branch = static_cast<IXBranchNode*>(parent);
    switch (type) {
    case Type::BranchTitle:
        return branch->branches().at(at).get();
    case Type::AttachmentTitle:
        return branch->attachments().at(at).get();
    case Type::Comment:
        return branch->comment().get();
    case Type::PictureLabel:
        return branch->picture().get();
    case Type::ConnectionTitle:
        return branch->connections().at(at).get();
    default:
        return branch->textnotes().at(at).get();
    }
}

template <size_t N> int positionIn(const std::array<std::uint32_t, N>& order, std::uint32_t list)
{
    for (size_t i = 0; i < N; ++i)
        if (order[i] == list) return int(i);
    return int(N);
}

bool validRange(PLRange range, int length)
{
    return range.location >= 0 && range.length >= 0 && range.location <= length
        && range.length <= length - range.location;
}

}  // namespace

IXDocumentSearchEnumerator::IXDocumentSearchEnumerator(std::shared_ptr<IXDocumentNode> document)
    : m_document(std::move(document))
{
    m_stack.reserve(100);
    m_path.reserve(101);
}

void IXDocumentSearchEnumerator::resolve()
{
    m_path.clear();
    m_path.push_back(m_document.get());
    for (size_t i = 0; i < m_stack.size(); ++i) {
        IXNode* parent = m_path.back();
        Entry& entry = m_stack[i];
        const int size = listSize(parent, entry.type);
        if (size == 0) {
            m_stack.resize(i);
            return;
        }
        if (entry.index >= std::uint32_t(size)) entry.index = std::uint32_t(size - 1);
        m_path.push_back(childAt(parent, entry.type, entry.index));
    }
}

bool IXDocumentSearchEnumerator::moveForward()
{
    if (!m_document) return false;
    resolve();
    // Every step keeps m_path in step with the stack, so the text can be read without
    // resolving again.
    if (m_stack.empty()) {
        for (const std::uint32_t list : DocumentLists) {
            if (listSize(m_document.get(), list) > 0) {
                m_stack.push_back({0, list});
                m_path.push_back(childAt(m_document.get(), list, 0));
                return true;
            }
        }
        return false;
    }
    if (m_stack.back().type == Type::BranchTitle) {
        IXNode* branch = m_path.back();
        for (const std::uint32_t list : BranchLists) {
            if (listSize(branch, list) > 0) {
                m_stack.push_back({0, list});
                m_path.push_back(childAt(branch, list, 0));
                return true;
            }
        }
    }
    while (!m_stack.empty()) {
        Entry& entry = m_stack.back();
        IXNode* parent = m_path[m_stack.size() - 1];
        if (entry.type == Type::NoteTitle) {
            entry.type = Type::NoteText;
            return true;
        }
        if (std::int64_t(entry.index) + 1 < listSize(parent, entry.type)) {
            ++entry.index;
            entry.type = listOf(entry.type);
            m_path.back() = childAt(parent, entry.type, entry.index);
            return true;
        }
        const bool atDocument = parent->isDocument();
        const int position
            = atDocument ? positionIn(DocumentLists, listOf(entry.type)) : positionIn(BranchLists, listOf(entry.type));
        const int count = atDocument ? int(DocumentLists.size()) : int(BranchLists.size());
        for (int next = position + 1; next < count; ++next) {
            const std::uint32_t list = atDocument ? DocumentLists[size_t(next)] : BranchLists[size_t(next)];
            if (listSize(parent, list) > 0) {
                entry = {0, list};
                m_path.back() = childAt(parent, list, 0);
                return true;
            }
        }
        m_stack.pop_back();
        m_path.pop_back();
    }
    return false;
}

void IXDocumentSearchEnumerator::enterFromBehind()
{
    while (!m_stack.empty() && m_stack.back().type == Type::BranchTitle) {
        IXNode* branch = m_path.back();
        bool entered = false;
        for (auto list = BranchLists.rbegin(); list != BranchLists.rend(); ++list) {
            const int size = listSize(branch, *list);
            if (size > 0) {
                m_stack.push_back({std::uint32_t(size - 1), lastEntryOf(*list)});
                m_path.push_back(childAt(branch, *list, std::uint32_t(size - 1)));
                entered = true;
                break;
            }
        }
        if (!entered) return;
    }
}

bool IXDocumentSearchEnumerator::moveBackward()
{
    if (!m_document) return false;
    resolve();
    IXNode* document = m_document.get();
    if (m_stack.empty()) {
        for (auto list = DocumentLists.rbegin(); list != DocumentLists.rend(); ++list) {
            const int size = listSize(document, *list);
            if (size > 0) {
                m_stack.push_back({std::uint32_t(size - 1), *list});
                m_path.push_back(childAt(document, *list, std::uint32_t(size - 1)));
                enterFromBehind();
                return true;
            }
        }
        return false;
    }
    Entry& entry = m_stack.back();
    IXNode* parent = m_path[m_stack.size() - 1];
    if (entry.type == Type::NoteText) {
        entry.type = Type::NoteTitle;
        return true;
    }
    if (entry.index > 0) {
        --entry.index;
        if (entry.type == Type::NoteTitle) entry.type = Type::NoteText;
        m_path.back() = childAt(parent, entry.type, entry.index);
        enterFromBehind();
        return true;
    }
    const bool atDocument = parent->isDocument();
    const int position
        = atDocument ? positionIn(DocumentLists, listOf(entry.type)) : positionIn(BranchLists, listOf(entry.type));
    for (int previous = position - 1; previous >= 0; --previous) {
        const std::uint32_t list = atDocument ? DocumentLists[size_t(previous)] : BranchLists[size_t(previous)];
        const int size = listSize(parent, list);
        if (size > 0) {
            entry = {std::uint32_t(size - 1), lastEntryOf(list)};
            m_path.back() = childAt(parent, list, entry.index);
            enterFromBehind();
            return true;
        }
    }
    // Back to the parent branch's own title; before the first text when the parent is the
    // document.
    m_stack.pop_back();
    m_path.pop_back();
    return !m_stack.empty();
}

std::optional<QString> IXDocumentSearchEnumerator::textOfCurrent()
{
    if (m_stack.empty()) return std::nullopt;
    IXNode* node = m_path.back();
    if (m_stack.back().type == Type::NoteText) {
        auto* note = dynamic_cast<IXCommentNode*>(node);
        return note ? note->text().string() : QString();
    }
    return node->title();
}

std::optional<QString> IXDocumentSearchEnumerator::nextObject()
{
    if ((m_location != 0 || m_staysInText) && !m_stack.empty()) {
        m_staysInText = false;
        resolve();
        if (!m_stack.empty()) return textOfCurrent();
    }
    m_staysInText = false;
    if (!moveForward()) {
        m_location = 0;
        return std::nullopt;
    }
    return textOfCurrent();
}

std::optional<QString> IXDocumentSearchEnumerator::previousObject()
{
    m_staysInText = false;
    if (!moveBackward()) {
        m_location = 0;
        return std::nullopt;
    }
    return textOfCurrent();
}

std::optional<QString> IXDocumentSearchEnumerator::currentObject()
{
    resolve();
    return textOfCurrent();
}

std::shared_ptr<IXNode> IXDocumentSearchEnumerator::currentNode()
{
    if (!m_document) return nullptr;
    resolve();
    if (m_stack.empty()) return m_document;
    return m_path.back()->shared_from_this();
}

IXDocumentSearchEnumerator::Type IXDocumentSearchEnumerator::currentObjectType() const
{
    return m_stack.empty() ? Type::None : Type(m_stack.back().type);
}

void IXDocumentSearchEnumerator::setLocation(int location, bool staysInText)
{
    m_location = std::max(0, location);
    m_staysInText = staysInText && m_location == 0;
}

void IXDocumentSearchEnumerator::resetToBegin()
{
    m_stack.clear();
    m_path.clear();
    m_location = 0;
    m_staysInText = false;
}

std::optional<QString> IXDocumentSearchEnumerator::replaceRange(PLRange range, const QString& string)
{
    resolve();
    if (m_stack.empty()) return std::nullopt;
    IXNode* node = m_path.back();
    if (m_stack.back().type == Type::NoteText) {
        auto* note = dynamic_cast<IXCommentNode*>(node);
        if (!note) return std::nullopt;
        PLAttributedString text = note->text();
        if (!validRange(range, text.length())) return std::nullopt;
        text.deleteCharacters(range);
        text.insert(range.location, PLAttributedString(string));
        note->setText(text);
        return text.string();
    }
    QString title = node->title();
    if (!validRange(range, int(title.size()))) return std::nullopt;
    title.replace(range.location, range.length, string);
    if (auto* branch = dynamic_cast<IXBranchNode*>(node)) {
        branch->setTitle(title);
    } else if (auto* reference = dynamic_cast<IXReferenceNode*>(node)) {
        reference->setTitle(title);
    } else {
        return std::nullopt;
    }
    return node->title();
}
