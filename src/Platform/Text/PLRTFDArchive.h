#pragma once

#include "Platform/Text/PLAttributedString.h"
#include "Platform/Text/PLDocumentAttributes.h"
#include "Platform/Core/PLError.h"
#include "Platform/Text/PLRTFWriter.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The RTFD form of rich text: a folder holding the text as "TXT.rtf" and one file per
// attachment, which the text names in its attachment references. The folder is kept in
// memory; it is stored either as a real folder or flattened into one blob (the form note
// parts of a document use, laid out in docs/RTFD.md).
//
// Reading is tolerant: the blob may be laid out little- or big-endian, names may or may not
// end with a NUL, the folder entry "." may be missing, and plain RTF in place of a blob is
// read as a folder holding only "TXT.rtf". Sizes are checked against the data before use.
class PLRTFDArchive {
public:
    enum ErrorCode {
        NotRTFDError = 11,   // neither a flattened folder nor RTF
        DamagedError = 12,   // the blob's tables do not fit its size
        TruncatedError = 13, // file contents run past the end; the complete files are kept
        NoTextError = 14,    // no "TXT.rtf" (nor any other .rtf file) in the folder
        FileError = 15,      // a folder on disk could not be read or written
    };
    using File = PLRTFWriter::File;

    static const QString TextFileName; // "TXT.rtf"

    PLRTFDArchive() = default;

    // The folder of a text: "TXT.rtf" first, then the files of its attachments.
    static PLRTFDArchive fromAttributedString(const PLAttributedString& text, const PLDocumentAttributes& documentAttributes = {});
    // The text of the folder; nullopt when it has no RTF file (or that is not RTF). As with
    // PLRTFReader::read, damaged RTF gives the text read so far and an error.
    std::optional<PLAttributedString> attributedString(PLDocumentAttributes* documentAttributes = nullptr, PLError* error = nullptr) const;

    const QList<File>& files() const { return m_files; }
    // Adds a file, or replaces the contents of the file of that name.
    void setFile(const QString& name, const QByteArray& contents);
    // The contents of a file by name (an exact match first, then ignoring case).
    std::optional<QByteArray> file(const QString& name) const;

    // The flattened blob.
    QByteArray serializedData() const;
    static std::optional<PLRTFDArchive> fromSerializedData(const QByteArray& data, PLError* error = nullptr);
    // True when the data begins with the blob's signature "rtfd".
    static bool isSerializedData(const QByteArray& data);

    // A real folder: writes every file (creating the folder), reads the regular files in it.
    // Reading never follows a link inside the folder and never opens a file outside it.
    bool writeToDirectory(const QString& path, PLError* error = nullptr) const;
    static std::optional<PLRTFDArchive> fromDirectory(const QString& path, PLError* error = nullptr);

    // Shorthands from text to blob and back.
    static QByteArray serialize(const PLAttributedString& text, const PLDocumentAttributes& documentAttributes = {});
    static std::optional<PLAttributedString> read(const QByteArray& data, PLDocumentAttributes* documentAttributes = nullptr,
                                                  PLError* error = nullptr);

private:
    QList<File> m_files;
};
