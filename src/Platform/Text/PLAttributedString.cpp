#include "Platform/Text/PLAttributedString.h"

#include "Platform/Core/PLAssert.h"

#include <algorithm>
#include <array>

namespace {

bool sameAttributes(const std::shared_ptr<const PLTextAttributes>& a, const std::shared_ptr<const PLTextAttributes>& b)
{
    return a == b || *a == *b;
}

} // namespace

PLAttributedString::PLAttributedString(const QString& string, const PLTextAttributes& attributes) : m_string(string)
{
    if (!m_string.isEmpty()) m_runs.push_back({0, share(attributes)});
}

PLAttributedString::SharedAttributes PLAttributedString::share(const PLTextAttributes& attributes)
{
    // Per thread, so that strings made on worker threads need no lock (the sets are immutable);
    // weak, so that no set (and no font in it) outlives the strings that use it.
    thread_local std::array<std::weak_ptr<const PLTextAttributes>, 8> recentSets;
    thread_local size_t nextRecent = 0;
    for (const auto& weak : recentSets)
        if (SharedAttributes recent = weak.lock(); recent && *recent == attributes) return recent;
    SharedAttributes made = std::make_shared<const PLTextAttributes>(attributes);
    recentSets[nextRecent] = made;
    nextRecent = (nextRecent + 1) % recentSets.size();
    return made;
}

PLAttributedString PLAttributedString::fromAttachment(const PLTextAttachmentPtr& attachment, const PLTextAttributes& attributes)
{
    PL_ASSERT_PARAM(attachment, "attachment");
    PLTextAttributes withAttachment = attributes;
    withAttachment.attachment = attachment;
    return PLAttributedString(QString(QChar(AttachmentCharacter)), withAttachment);
}

void PLAttributedString::checkRange(PLRange range) const
{
    PL_ASSERT(range.location >= 0 && range.length >= 0 && range.location <= length() - range.length);
}

int PLAttributedString::runIndexAt(int index) const
{
    // The last run that starts at or before index.
    auto it = std::upper_bound(m_runs.begin(), m_runs.end(), index, [](int i, const Run& run) { return i < run.start; });
    return int(it - m_runs.begin()) - 1;
}

PLRange PLAttributedString::runRange(int run) const
{
    PL_ASSERT(run >= 0 && run < runCount());
    const int end = run + 1 < runCount() ? m_runs[size_t(run) + 1].start : length();
    return PLRange(m_runs[size_t(run)].start, end - m_runs[size_t(run)].start);
}

const PLTextAttributes& PLAttributedString::runAttributes(int run) const
{
    PL_ASSERT(run >= 0 && run < runCount());
    return *m_runs[size_t(run)].attributes;
}

const PLTextAttributes& PLAttributedString::attributesAt(int index, PLRange* effectiveRange) const
{
    PL_ASSERT(index >= 0 && index < length());
    const int run = runIndexAt(index);
    if (effectiveRange) *effectiveRange = runRange(run);
    return *m_runs[size_t(run)].attributes;
}

PLRange PLAttributedString::effectiveRange(PLTextAttributes::Key key, int index) const
{
    PL_ASSERT(index >= 0 && index < length());
    const int run = runIndexAt(index);
    const PLTextAttributes& value = *m_runs[size_t(run)].attributes;
    int first = run;
    while (first > 0 && m_runs[size_t(first) - 1].attributes->sameValue(value, key)) --first;
    int last = run;
    while (last + 1 < runCount() && m_runs[size_t(last) + 1].attributes->sameValue(value, key)) ++last;
    const int start = m_runs[size_t(first)].start;
    const PLRange lastRange = runRange(last);
    return PLRange(start, lastRange.end() - start);
}

int PLAttributedString::splitAt(int index)
{
    if (index >= length()) return runCount();
    const int run = runIndexAt(index);
    if (m_runs[size_t(run)].start == index) return run;
    m_runs.insert(m_runs.begin() + run + 1, Run{index, m_runs[size_t(run)].attributes});
    return run + 1;
}

void PLAttributedString::coalesce(int first, int last)
{
    first = std::max(first, 1);
    last = std::min(last, runCount() - 1);
    // Walk backwards so that erasing keeps the indexes still to visit valid.
    for (int i = last; i >= first; --i) {
        if (sameAttributes(m_runs[size_t(i)].attributes, m_runs[size_t(i) - 1].attributes)) m_runs.erase(m_runs.begin() + i);
    }
}

template<typename Change> void PLAttributedString::changeAttributes(PLRange range, Change change)
{
    checkRange(range);
    if (range.isEmpty()) return;
    const int first = splitAt(range.location);
    const int end = splitAt(range.end());
    for (int i = first; i < end; ++i) {
        PLTextAttributes changed = *m_runs[size_t(i)].attributes;
        change(changed);
        m_runs[size_t(i)].attributes = share(changed);
    }
    coalesce(first, end);
}

void PLAttributedString::setAttributes(const PLTextAttributes& attributes, PLRange range)
{
    changeAttributes(range, [&](PLTextAttributes& a) { a = attributes; });
}

void PLAttributedString::addAttributes(const PLTextAttributes& attributes, PLRange range)
{
    changeAttributes(range, [&](PLTextAttributes& a) { a.merge(attributes); });
}

void PLAttributedString::removeAttribute(PLTextAttributes::Key key, PLRange range)
{
    changeAttributes(range, [&](PLTextAttributes& a) { a.remove(key); });
}

void PLAttributedString::replaceCharacters(PLRange range, const QString& string)
{
    checkRange(range);
    PLTextAttributes attributes;
    if (range.length > 0)
        attributes = attributesAt(range.location);
    else if (range.location > 0)
        attributes = attributesAt(range.location - 1);
    else if (length() > 0)
        attributes = attributesAt(0);
    replaceCharacters(range, PLAttributedString(string, attributes));
}

void PLAttributedString::replaceCharacters(PLRange range, const PLAttributedString& text)
{
    checkRange(range);
    if (&text == this) {
        const PLAttributedString copy = text;
        replaceCharacters(range, copy);
        return;
    }
    const int first = splitAt(range.location);
    const int end = splitAt(range.end());
    m_runs.erase(m_runs.begin() + first, m_runs.begin() + end);
    const int delta = text.length() - range.length;
    for (size_t i = size_t(first); i < m_runs.size(); ++i) m_runs[i].start += delta;
    std::vector<Run> inserted;
    inserted.reserve(text.m_runs.size());
    for (const Run& run : text.m_runs) inserted.push_back(Run{run.start + range.location, run.attributes});
    m_runs.insert(m_runs.begin() + first, inserted.begin(), inserted.end());
    m_string.replace(range.location, range.length, text.m_string);
    coalesce(first, first + int(inserted.size()));
}

void PLAttributedString::insert(int index, const PLAttributedString& text)
{
    replaceCharacters(PLRange(index, 0), text);
}

void PLAttributedString::deleteCharacters(PLRange range)
{
    replaceCharacters(range, PLAttributedString());
}

void PLAttributedString::append(const PLAttributedString& text)
{
    replaceCharacters(PLRange(length(), 0), text);
}

void PLAttributedString::append(const QString& string, const PLTextAttributes& attributes)
{
    if (string.isEmpty()) return;
    if (m_runs.empty() || !(*m_runs.back().attributes == attributes)) m_runs.push_back(Run{length(), share(attributes)});
    m_string += string;
}

PLAttributedString PLAttributedString::substring(PLRange range) const
{
    checkRange(range);
    PLAttributedString result;
    if (range.isEmpty()) return result;
    result.m_string = m_string.mid(range.location, range.length);
    for (int run = runIndexAt(range.location); run < runCount() && m_runs[size_t(run)].start < range.end(); ++run)
        result.m_runs.push_back(Run{std::max(m_runs[size_t(run)].start, range.location) - range.location, m_runs[size_t(run)].attributes});
    return result;
}

bool PLAttributedString::hasAttachments() const
{
    return std::any_of(m_runs.begin(), m_runs.end(), [](const Run& run) { return run.attributes->attachment != nullptr; });
}

QList<PLTextAttachmentPtr> PLAttributedString::attachments() const
{
    QList<PLTextAttachmentPtr> result;
    for (int run = 0; run < runCount(); ++run) {
        const PLTextAttachmentPtr& attachment = m_runs[size_t(run)].attributes->attachment;
        if (!attachment) continue;
        const PLRange range = runRange(run);
        for (int i = range.location; i < range.end(); ++i)
            if (m_string.at(i) == QChar(AttachmentCharacter)) result.append(attachment);
    }
    return result;
}

bool PLAttributedString::operator==(const PLAttributedString& other) const
{
    if (m_string != other.m_string || m_runs.size() != other.m_runs.size()) return false;
    for (size_t i = 0; i < m_runs.size(); ++i) {
        if (m_runs[i].start != other.m_runs[i].start || !sameAttributes(m_runs[i].attributes, other.m_runs[i].attributes)) return false;
    }
    return true;
}
