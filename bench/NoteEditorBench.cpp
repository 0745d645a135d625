// The text-note editor opening a note of about 1 MB (styled paragraphs, pictures and a
// table) from a package just read: the note's part parsed and the text shown in the editor's
// view (target 200 ms). "note_bytes" is the size of the stored note.
#include "BenchSupport.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "Inspectors/IXInspectedController.h"
#include "Inspectors/IXNoteTextView.h"
#include "Inspectors/IXTextNoteInspector.h"
#include "Platform/Core/PLError.h"
#include "Platform/Core/PLIdentity.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Core/PLUndoManager.h"
#include "Platform/Text/PLRTFDArchive.h"
#include "Platform/Text/PLTextAttachment.h"
#include "Platform/Text/PLTextTable.h"
#include "Platform/Text/PLTextTableBlock.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QTextDocument>
#include <QWidget>

#include <benchmark/benchmark.h>

namespace {

class BenchController : public IXInspectedController {
public:
    IXSelection selection() const override { return m_selection; }
    std::shared_ptr<IXLayoutNode> layoutNode() const override { return nullptr; }
    std::shared_ptr<IXDocumentNode> documentNode() const override { return m_document; }
    int documentLayout() const override { return 0; }
    QWidget* window() const override { return const_cast<QWidget*>(&m_window); }
    void select(const IXSelection& selection)
    {
        m_selection = selection;
        PLNotificationCenter::defaultCenter().post(IXInspectorSelectionChangedNotification, PLIdentityOf(this));
    }
    std::shared_ptr<IXDocumentNode> m_document;
    IXSelection m_selection;
    QWidget m_window;
};

QByteArray picture(int index)
{
    QImage image(96, 64, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((index * 37) % 360, 160, 200));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Paragraphs of alternating styles, a picture every 100 paragraphs, and a 30 × 4 table.
PLAttributedString bigNote()
{
    PLAttributedString text;
    PLTextAttributes plain;
    plain.font = PLFont(QStringLiteral("Helvetica"), 12);
    PLTextAttributes bold = plain;
    bold.font->bold = true;
    bold.foregroundColor = QColor(0, 0, 200);
    const QString words = QStringLiteral("The quick brown fox jumps over the lazy dog while the notes grow longer. ");
    int paragraph = 0;
    while (text.length() < 950'000) {
        text.append(QStringLiteral("Paragraph %1: ").arg(paragraph), bold);
        text.append(words.repeated(4), plain);
        if (paragraph % 100 == 0)
            text.append(PLAttributedString::fromAttachment(
                PLTextAttachment::make(QStringLiteral("picture%1.png").arg(paragraph), picture(paragraph)), plain));
        text.append(QStringLiteral("\n"), plain);
        ++paragraph;
    }
    const PLTextTablePtr table = PLTextTable::make(4);
    for (int row = 0; row < 30; ++row) {
        for (int column = 0; column < 4; ++column) {
            PLTextTableBlock block;
            block.table = table;
            block.row = row;
            block.column = column;
            block.borderWidths = {1, 1, 1, 1};
            PLParagraphStyle style;
            style.textBlocks = {block};
            PLTextAttributes cell = plain;
            cell.paragraphStyle = style;
            text.append(QStringLiteral("Cell %1.%2\n").arg(row).arg(column), cell);
        }
    }
    return text;
}

struct Fixture {
    BenchController controller;
    PLUndoManager undo;
    QByteArray package;
    qsizetype noteBytes = 0;
    std::unique_ptr<IXTextNoteInspector> editor;

    Fixture()
    {
        auto document = std::make_shared<IXDocumentNode>();
        document->setUndoManager(&undo);
        auto branch = std::make_shared<IXBranchNode>();
        branch->setTitle(QStringLiteral("Notes"));
        document->addRootBranch(branch);
        const auto note = branch->addTextnote();
        const PLAttributedString text = bigNote();
        note->setText(text);
        noteBytes = PLRTFDArchive::serialize(text, {}).size();
        PLError error;
        package = document->zipData(&error).value_or(QByteArray());
        document->setUndoManager(nullptr);
        controller.m_window.resize(900, 700);
        editor = std::make_unique<IXTextNoteInspector>(&controller);
        editor->inspectorView();
    }
};

void BM_NoteEditorOpenLargeNote(benchmark::State& state)
{
    Fixture f;
    qsizetype shown = 0;
    for (auto _ : state) {
        state.PauseTiming();
        f.controller.select(IXSelection());
        PLError error;
        f.controller.m_document = IXDocumentNode::fromZipData(f.package, &error);
        const auto branch = f.controller.m_document ? f.controller.m_document->rootBranches().first() : nullptr;
        state.ResumeTiming();
        f.controller.select(IXSelection::selectionWithNode(branch));
        shown = f.editor->textView()->document()->characterCount();
    }
    state.counters["note_bytes"] = double(f.noteBytes);
    state.counters["characters"] = double(shown);
}
BENCHMARK(BM_NoteEditorOpenLargeNote)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv)
{
    return BenchSupport::runInApplication<QApplication>(argc, argv);
}
