#include "Platform/Text/PLSpellChecker.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextBoundaryFinder>

#include <hunspell/hunspell.hxx>

#include <atomic>
#include <optional>

namespace {

// Words with digits, and words in scripts other than Latin, which the dictionary does not
// write, are not judged.
bool isCheckedWord(QStringView word)
{
    bool hasLatinLetter = false;
    for (const QChar c : word) {
        if (c.isDigit()) return false;
        hasLatinLetter = hasLatinLetter || (c.isLetter() && c.script() == QChar::Script_Latin);
    }
    return hasLatinLetter;
}

QString normalizedWord(QString word)
{
    word.replace(QChar(0x2019), QLatin1Char('\''));
    return word;
}

}

PLSpellChecker::PLSpellChecker(const QString& affixPath, const QString& dictionaryPath)
{
    if (!QFileInfo(affixPath).isReadable() || !QFileInfo(dictionaryPath).isReadable()) return;
    m_hunspell = std::make_unique<Hunspell>(QFile::encodeName(affixPath).constData(), QFile::encodeName(dictionaryPath).constData());
    m_encoding = QString::fromStdString(m_hunspell->get_dict_encoding());
    if (!QStringEncoder(m_encoding.toLatin1().constData()).isValid()) m_encoding = QStringLiteral("ISO-8859-1");
}

PLSpellChecker::~PLSpellChecker() = default;

QStringList PLSpellChecker::dictionaryFolders()
{
    return {QStringLiteral("/usr/share/hunspell"), QStringLiteral("/usr/share/myspell/dicts"), QStringLiteral("/usr/share/myspell")};
}

QString PLSpellChecker::affixPathForLanguage(const QString& language)
{
    for (const QString& folder : dictionaryFolders()) {
        const QString base = folder + QLatin1Char('/') + language;
        if (QFileInfo::exists(base + QStringLiteral(".aff")) && QFileInfo::exists(base + QStringLiteral(".dic")))
            return base + QStringLiteral(".aff");
    }
    return QString();
}

PLSpellChecker& PLSpellChecker::sharedChecker()
{
    static PLSpellChecker checker = [] {
        const QString affix = affixPathForLanguage(QStringLiteral("en_US"));
        QString dictionary = affix;
        dictionary.replace(dictionary.size() - 4, 4, QStringLiteral(".dic"));
        return PLSpellChecker(affix, affix.isEmpty() ? QString() : dictionary);
    }();
    return checker;
}

std::optional<std::string> PLSpellChecker::encode(const QString& word) const
{
    QStringEncoder encoder(m_encoding.toLatin1().constData());
    const QByteArray bytes = encoder.encode(word);
    if (encoder.hasError()) return std::nullopt;
    return std::string(bytes.constData(), size_t(bytes.size()));
}

QString PLSpellChecker::decode(const std::string& word) const
{
    QStringDecoder decoder(m_encoding.toLatin1().constData());
    return decoder.decode(QByteArrayView(word.data(), qsizetype(word.size())));
}

bool PLSpellChecker::isCorrect(const QString& word) const
{
    if (!m_hunspell || !isCheckedWord(word)) return true;
    if (const auto known = m_verdicts.constFind(word); known != m_verdicts.cend()) return *known;
    // A word the dictionary's code page cannot hold is not judged.
    const std::optional<std::string> encoded = encode(normalizedWord(word));
    const bool correct = !encoded || m_hunspell->spell(*encoded);
    if (m_verdicts.size() >= MaxRememberedWords) m_verdicts.clear();
    m_verdicts.insert(word, correct);
    return correct;
}

QStringList PLSpellChecker::guesses(const QString& word) const
{
    QStringList result;
    const std::optional<std::string> encoded = m_hunspell ? encode(normalizedWord(word)) : std::nullopt;
    if (!encoded || encoded->empty()) return result;
    for (const std::string& suggestion : m_hunspell->suggest(*encoded))
        result.append(decode(suggestion));
    return result;
}

bool PLSpellChecker::isIgnored(const QString& word, int documentTag) const
{
    const auto found = m_ignored.constFind(documentTag);
    return found != m_ignored.constEnd() && found->lookup.contains(word);
}

PLRange PLSpellChecker::checkSpelling(const QString& text, int start, int documentTag, int* wordCount) const
{
    int words = 0;
    PLRange result(int(text.size()), 0);
    if (m_hunspell && start >= 0 && start < text.size()) {
        QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
        finder.setPosition(start);
        // Begin at a word start: a start inside a word skips to the next one.
        if (!finder.isAtBoundary() || !(finder.boundaryReasons() & QTextBoundaryFinder::StartOfItem)) finder.toNextBoundary();
        while (finder.position() >= 0 && finder.position() < text.size()) {
            const int wordStart = int(finder.position());
            if (!(finder.boundaryReasons() & QTextBoundaryFinder::StartOfItem)) {
                finder.toNextBoundary();
                continue;
            }
            const int wordEnd = int(finder.toNextBoundary());
            if (wordEnd < 0) break;
            const QString word = text.mid(wordStart, wordEnd - wordStart);
            if (!isCheckedWord(word)) continue;
            ++words;
            if (!isIgnored(word, documentTag) && !isCorrect(word)) {
                result = PLRange(wordStart, wordEnd - wordStart);
                break;
            }
        }
    }
    if (wordCount) *wordCount = words;
    return result;
}

int PLSpellChecker::uniqueSpellDocumentTag()
{
    static std::atomic<int> lastTag = 0;
    return ++lastTag;
}

void PLSpellChecker::closeSpellDocument(int documentTag)
{
    m_ignored.remove(documentTag);
}

QStringList PLSpellChecker::ignoredWords(int documentTag) const
{
    return m_ignored.value(documentTag).words;
}

void PLSpellChecker::setIgnoredWords(const QStringList& words, int documentTag)
{
    IgnoredWords& ignored = m_ignored[documentTag];
    ignored = IgnoredWords();
    for (const QString& word : words) {
        if (!word.isEmpty() && !ignored.lookup.contains(word)) {
            ignored.words.append(word);
            ignored.lookup.insert(word);
        }
    }
}

void PLSpellChecker::ignoreWord(const QString& word, int documentTag)
{
    if (word.isEmpty()) return;
    IgnoredWords& ignored = m_ignored[documentTag];
    if (ignored.lookup.contains(word)) return;
    ignored.words.append(word);
    ignored.lookup.insert(word);
}
