// Reading and writing a text note of about 1 MB: RTF with the formatting notes carry, RTFD
// with pictures, and the conversion to and from the editor's QTextDocument.
#include "BenchSupport.h"

#include "Platform/Text/PLRTFDArchive.h"
#include "Platform/Text/PLRTFReader.h"
#include "Platform/Text/PLRTFWriter.h"
#include "Platform/Text/PLTextDocumentConversion.h"

#include <QBuffer>
#include <QImage>
#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {

// Paragraphs of words in changing fonts, colours and styles, with links, non-Latin text and
// a list, until the RTF is about the given size.
PLAttributedString makeNote(qsizetype rtfBytes, int pictures)
{
    static const char* const words[] = {"mind", "map", "branch", "note", "idea", "topic", "link", "picture", "plan", "review"};
    PLAttributedString text;
    PLTextAttributes plain;
    plain.font = PLFont(QStringLiteral("Helvetica"), 12);
    PLParagraphStyle list;
    list.leftIndent = 36;
    list.textLists = {{QStringLiteral("{disc}"), 1}};
    int n = 0;
    while (PLRTFWriter::write(text).size() < rtfBytes) {
        for (int paragraph = 0; paragraph < 200; ++paragraph, ++n) {
            PLTextAttributes base = plain;
            if (n % 7 == 3) base.paragraphStyle = list;
            if (base.paragraphStyle) text.append(QString::fromUtf8("\t\u2022\t"), base);
            for (int w = 0; w < 40; ++w) {
                PLTextAttributes a = base;
                switch ((n + w) % 9) {
                case 1: a.font->bold = true; break;
                case 2: a.font->italic = true; break;
                case 3: a.foregroundColor = QColor(200, 30, 30); break;
                case 4: a.underlineStyle = 1; break;
                case 5: a.link = QStringLiteral("https://example.com/%1").arg(n); break;
                case 6: a.font = PLFont(QStringLiteral("Times New Roman"), 14); break;
                default: break;
                }
                const QString word = (n + w) % 23 == 0 ? QString::fromUtf8("\u65e5\u672c\u8a9e") : QString::fromLatin1(words[(n * 7 + w) % 10]);
                text.append(word, a);
                text.append(QStringLiteral(" "), base);
            }
            text.append(QStringLiteral("\n"), base);
        }
    }
    for (int i = 0; i < pictures; ++i) {
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(QColor(i * 40 % 255, 100, 150));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        text.insert(text.length() * (i + 1) / (pictures + 1),
                    PLAttributedString::fromAttachment(PLTextAttachment::make(QStringLiteral("picture%1.png").arg(i), png), plain));
    }
    return text;
}

const PLAttributedString& note()
{
    static const PLAttributedString text = makeNote(1 << 20, 0);
    return text;
}

void BM_ReadRTF(benchmark::State& state)
{
    const QByteArray rtf = PLRTFWriter::write(note());
    for (auto _ : state) {
        std::optional<PLAttributedString> text = PLRTFReader::read(rtf);
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_ReadRTF)->Unit(benchmark::kMillisecond);

void BM_WriteRTF(benchmark::State& state)
{
    const PLAttributedString& text = note();
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray rtf = PLRTFWriter::write(text);
        size = rtf.size();
        benchmark::DoNotOptimize(rtf.constData());
    }
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_WriteRTF)->Unit(benchmark::kMillisecond);

void BM_ReadRTFD(benchmark::State& state)
{
    static const PLAttributedString text = makeNote(1 << 20, 8);
    const QByteArray rtfd = PLRTFDArchive::serialize(text);
    for (auto _ : state) {
        std::optional<PLAttributedString> back = PLRTFDArchive::read(rtfd);
        benchmark::DoNotOptimize(back);
    }
    state.SetBytesProcessed(state.iterations() * rtfd.size());
}
BENCHMARK(BM_ReadRTFD)->Unit(benchmark::kMillisecond);

void BM_TextDocumentRoundTrip(benchmark::State& state)
{
    const PLAttributedString& text = note();
    for (auto _ : state) {
        QTextDocument document;
        PLTextDocumentConversion::toTextDocument(text, &document);
        PLAttributedString back = PLTextDocumentConversion::fromTextDocument(&document);
        benchmark::DoNotOptimize(back);
    }
    state.SetItemsProcessed(state.iterations() * text.length());
}
BENCHMARK(BM_TextDocumentRoundTrip)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return BenchSupport::runInGuiApplication(argc, argv);
}
