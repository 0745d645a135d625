#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleTextAttributes.h"
#include "IXLayoutTestSupport.h"
#include "IXTextMeasurementsProbe.h"
#include "IXTextMeasuringBatchProbe.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXMapCellFactory.h"
#include "MapLayout/IXTextCell.h"
#include "MapLayout/IXTextMeasurements.h"
#include "MapLayout/IXTextMeasuringBatch.h"
#include "MapLayout/IXTitlePremeasuring.h"
#include "Platform/Text/PLTextLayout.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QSemaphore>
#include <QTextOption>
#include <QThread>
#include <QThreadPool>

#include <cmath>
#include <memory>

namespace {

const PLSize Measuring(IXTextCell::MeasuringWidth, IXTextCell::MeasuringHeight);

PLAttributedString styled(const QString& text, const char* family = nullptr, int size = 0, bool bold = false,
                          Qt::Alignment alignment = {})
{
    IXStyleTextAttributes attributes;
    if (family) {
        QFont font{QString::fromLatin1(family), size};
        font.setBold(bold);
        attributes.font = font;
    }
    if (alignment) {
        QTextOption paragraph;
        paragraph.setAlignment(alignment);
        attributes.paragraphStyle = paragraph;
    }
    return IXTextMeasurements::attributedString(text, attributes);
}

// Titles of every kind a map shows: empty, one line, several lines, long enough to wrap,
// right-to-left and mixed scripts, in several fonts, sizes and alignments.
std::vector<PLAttributedString> titleTable()
{
    const QString longTitle = QStringLiteral("A title long enough to wrap in a narrow box, with words of several lengths");
    return {
        styled(QString()),
        styled(QStringLiteral("Short")),
        styled(QStringLiteral("Trailing spaces   ")),
        styled(QStringLiteral("Two\nlines")),
        styled(QStringLiteral("Ends with a break\n")),
        styled(longTitle),
        styled(longTitle, "Liberation Serif", 18, true, Qt::AlignHCenter),
        styled(longTitle, "Helvetica", 30, false, Qt::AlignRight),
        styled(longTitle, "DejaVu Sans Mono", 9, false, Qt::AlignJustify),
        styled(QStringLiteral("שלום עולם, כותרת בעברית")),
        styled(QStringLiteral("مرحبا بالعالم"), "DejaVu Sans", 14, false, Qt::AlignRight),
        styled(QStringLiteral("Mixed עברית and English 123")),
        styled(QStringLiteral("Ünïcödé — “quoted” 日本語のタイトル"), "Liberation Sans", 11),
        styled(QStringLiteral("Unknown family"), "No Such Family Mono", 13),
    };
}

IXTextMeasurement drawnSize(PLTextLayout& layout, const PLAttributedString& text, PLSize container)
{
    layout.setText(text);
    layout.setContainerSize(container);
    const QRectF used = layout.usedRect();
    const QRectF full = layout.fullRect();
    return {PLSize(float(std::ceil(used.width())), float(std::ceil(used.height()))),
            PLSize(float(std::ceil(full.width())), float(std::ceil(full.height())))};
}

// The application's factory, installed for one test.
class InstalledFactory : public IXMapCellFactory {
public:
    InstalledFactory() { install(this); }
    ~InstalledFactory() override { install(nullptr); }
};

IXTextCell* titleCell(IXLayoutContext* context, IXNode* node)
{
    IXBranchCell* cell = context->cells().branchCellForNode(node);
    return cell ? cell->titleCell() : nullptr;
}

}  // namespace

// Whatever the number of threads, each text measures as the serial layout measures it, and the
// measurements come back in the order the texts were added.
TEST(IXTextMeasuringBatchTests, MeasuresEveryTextAsTheSerialLayoutDoesInTheOrderGiven)
{
    const std::vector<PLAttributedString> table = titleTable();
    std::vector<PLAttributedString> texts;
    for (int round = 0; round < 40; ++round) texts.insert(texts.end(), table.begin(), table.end());

    for (const PLSize container : {Measuring, PLSize(90, 1000)}) {
        // As a drawing layout (with colours, through character formats) lays them out.
        PLTextLayout serialLayout;
        std::vector<IXTextMeasurement> serial;
        for (const PLAttributedString& text : texts) serial.push_back(drawnSize(serialLayout, text, container));
        // The wrapping cases do wrap in the narrow box.
        if (container.width < 100) EXPECT_GT(serial[5].fullSize.height, 2 * serial[1].fullSize.height);

        for (const int workers : {0, 1, 3, IXTextMeasuringBatch::idealWorkerCount()}) {
            SCOPED_TRACE(testing::Message() << "workers " << workers << ", width " << container.width);
            IXTextMeasuringBatch batch(container, workers);
            for (const PLAttributedString& text : texts) batch.add(text);
            EXPECT_EQ(batch.workersStarted(), workers);
            const std::vector<IXTextMeasurement> results = batch.finish();
            ASSERT_EQ(results.size(), texts.size());
            for (size_t i = 0; i < texts.size(); ++i) {
                SCOPED_TRACE(texts[i].string().toStdString());
                EXPECT_EQ(results[i].usedSize, serial[i].usedSize);
                EXPECT_EQ(results[i].fullSize, serial[i].fullSize);
            }
        }
    }
}

TEST(IXTextMeasuringBatchTests, ASmallBatchIsMeasuredOnItsOwnersThreadAndADroppedOneLetsGoOfItsTexts)
{
    const std::vector<PLAttributedString> table = titleTable();
    IXTextMeasuringBatch small(Measuring, 4);
    for (const PLAttributedString& text : table) small.add(text);
    EXPECT_EQ(small.workersStarted(), 0);
    const std::uint64_t before = IXTextMeasuringBatchProbe::measuredCount();
    EXPECT_EQ(small.finish().size(), table.size());
    EXPECT_EQ(IXTextMeasuringBatchProbe::measuredCount(), before + table.size());
    EXPECT_EQ(small.count(), 0);

    std::vector<PLAttributedString> texts;
    for (int round = 0; round < 40; ++round) texts.insert(texts.end(), table.begin(), table.end());
    {
        IXTextMeasuringBatch dropped(Measuring, 2);
        for (const PLAttributedString& text : texts) dropped.add(text);
        EXPECT_EQ(dropped.workersStarted(), 2);
    }
    // The texts may go as soon as the batch is gone: its workers have let them go.
    texts.clear();
}

// Measuring has threads of its own: with Qt's global pool taken up by work that waits (here,
// for the test), a batch's workers still measure while their owner is adding texts.
TEST(IXTextMeasuringBatchTests, WorkersMeasureWhileQtsGlobalPoolIsBusy)
{
    // The blockers may start after this test has given up on them (a loaded machine): what they
    // wait on lives as long as the process, and is released whatever happens below.
    static QSemaphore* const started = new QSemaphore;
    static QSemaphore* const release = new QSemaphore;
    QThreadPool* global = QThreadPool::globalInstance();
    const int busy = global->maxThreadCount();
    for (int i = 0; i < busy; ++i) {
        global->start([] {
            started->release();
            release->acquire();
        });
    }
    const std::unique_ptr<QSemaphore, void (*)(QSemaphore*)> releaser(release,
                                                                      [](QSemaphore* s) { s->release(1 << 16); });
    ASSERT_TRUE(started->tryAcquire(busy, 60000));

    const std::vector<PLAttributedString> table = titleTable();
    std::vector<PLAttributedString> texts;
    while (texts.size() < size_t(IXTextMeasuringBatch::DefaultStartAt + IXTextMeasuringBatch::ChunkSize))
        texts.insert(texts.end(), table.begin(), table.end());
    IXTextMeasuringBatch batch(Measuring, 2);
    const std::uint64_t before = IXTextMeasuringBatchProbe::measuredCount();
    for (const PLAttributedString& text : texts) batch.add(text);
    ASSERT_EQ(batch.workersStarted(), 2);
    // The published chunks are measured by the workers alone, before finish().
    const std::uint64_t published = texts.size() / IXTextMeasuringBatch::ChunkSize * IXTextMeasuringBatch::ChunkSize;
    QDeadlineTimer deadline(60000);
    while (IXTextMeasuringBatchProbe::measuredCount() < before + published && !deadline.hasExpired())
        QThread::msleep(1);
    EXPECT_EQ(IXTextMeasuringBatchProbe::measuredCount(), before + published);
    EXPECT_EQ(batch.finish().size(), texts.size());
}

// The cache keys a text by what moves its glyphs: colours share a measurement, an alignment
// or a font does not; texts of several runs are measured every time and never kept. It
// starts over when full.
TEST(IXTextMeasurementsTests, KeysByWhatMovesTheGlyphsAndStaysBounded)
{
    IXTextMeasurements& measurements = IXTextMeasurements::shared();
    measurements.clear();
    IXStyleTextAttributes red;
    red.foregroundColor = PLColor::red();
    const PLAttributedString plain = styled(QStringLiteral("Keyed"));
    measurements.measure(plain, Measuring);
    measurements.measure(IXTextMeasurements::attributedString(QStringLiteral("Keyed"), red), Measuring);
    EXPECT_EQ(measurements.count(), 1);
    measurements.measure(styled(QStringLiteral("Keyed"), nullptr, 0, false, Qt::AlignHCenter), Measuring);
    measurements.measure(styled(QStringLiteral("Keyed"), "Liberation Serif", 12), Measuring);
    EXPECT_EQ(measurements.count(), 3);
    EXPECT_EQ(measurements.cached(plain, Measuring)->usedSize, measurements.measure(plain, Measuring).usedSize);
    EXPECT_FALSE(measurements.cached(plain, PLSize(50, 1000)));

    PLAttributedString twoRuns = plain;
    twoRuns.append(styled(QStringLiteral(" bold"), "Liberation Sans", 12, true));
    const std::uint64_t layouts = IXTextMeasurementsProbe::layoutCount(measurements);
    const IXTextMeasurement first = measurements.measure(twoRuns, Measuring);
    const IXTextMeasurement second = measurements.measure(twoRuns, Measuring);
    EXPECT_EQ(IXTextMeasurementsProbe::layoutCount(measurements), layouts + 2);
    EXPECT_EQ(measurements.count(), 3);
    EXPECT_FALSE(measurements.cached(twoRuns, Measuring));
    EXPECT_EQ(first.usedSize, second.usedSize);
    EXPECT_GT(first.usedSize.width, measurements.measure(plain, Measuring).usedSize.width);

    measurements.clear();
    const IXTextMeasurement some{PLSize(10, 10), PLSize(1200, 10)};
    for (qsizetype i = 0; i < IXTextMeasurements::capacity(); ++i)
        measurements.insertMeasured(styled(QString::number(i)), Measuring, some);
    EXPECT_EQ(measurements.count(), IXTextMeasurements::capacity());
    measurements.insertMeasured(styled(QStringLiteral("one more")), Measuring, some);
    EXPECT_EQ(measurements.count(), 1);
    EXPECT_TRUE(measurements.cached(styled(QStringLiteral("one more")), Measuring));
    measurements.clear();
}

// Opening a map measures the titles of the branches with cells up front, in parallel, to the
// sizes the cells would measure themselves; an edit then measures only its own title, in its
// cell.
TEST(IXTitlePremeasuringTests, AFullLayoutMeasuresTheShownTitlesUpFrontAndAnEditMeasuresOnlyItsTitle)
{
    MapFixtureWith<InstalledFactory> map;
    auto root = map.addRoot(QStringLiteral("Premeasured root"));
    std::vector<std::shared_ptr<IXBranchNode>> branches{root};
    const std::vector<PLAttributedString> table = titleTable();
    for (int i = 0; i < 400; ++i) {
        // The table's titles that fit their box (a wrapping title is measured in its box too).
        const bool fromTable = i < int(table.size()) && table[size_t(i)].length() < 40;
        const QString title = fromTable ? table[size_t(i)].string() : QStringLiteral("Branch number %1").arg(i);
        branches.push_back(MapFixture::addChild(i < 200 ? root : branches[size_t(i % 20 + 1)], title));
    }
    auto hidden = MapFixture::addChild(branches[30], QStringLiteral("Under a collapsed branch"));
    branches[30]->setCollapsed(true, false);
    IXStyleTextAttributes serif;
    serif.font = QFont(QStringLiteral("Liberation Serif"), 17);
    QTextOption centred;
    centred.setAlignment(Qt::AlignHCenter);
    serif.paragraphStyle = centred;

    IXTextMeasurements& measurements = IXTextMeasurements::shared();
    measurements.clear();
    const std::uint64_t measuredBefore = IXTextMeasuringBatchProbe::measuredCount();
    const std::uint64_t layoutsBefore = IXTextMeasurementsProbe::layoutCount(measurements);
    IXLayoutContext context(&map.controller, map.layout(QStringLiteral("mindmap")));
    context.styleForNode(branches[7].get())->setBranchTextAttributes(serif);
    settle(&context);
    context.performLayoutIfNeeded();

    // Every branch shown (the collapsed one's child goes only as the sides are given), and
    // the cells measured nothing themselves.
    const std::uint64_t measuredUpFront = IXTextMeasuringBatchProbe::measuredCount() - measuredBefore;
    EXPECT_GE(measuredUpFront, branches.size());
    EXPECT_EQ(IXTextMeasurementsProbe::layoutCount(measurements) - layoutsBefore, measuredUpFront);
    EXPECT_FALSE(titleCell(&context, hidden.get()));
    PLTextLayout serial;
    for (const auto& branch : branches) {
        IXTextCell* cell = titleCell(&context, branch.get());
        ASSERT_TRUE(cell) << branch->title().toStdString();
        const PLAttributedString text =
            IXTextCell::textForNode(&context, branch.get(), context.styleForNode(branch.get()).get());
        EXPECT_EQ(cell->text(), text);
        EXPECT_EQ(cell->cellTextSize(), drawnSize(serial, text, Measuring).usedSize)
            << branch->title().toStdString();
    }
    EXPECT_EQ(titleCell(&context, branches[7].get())->text().attributesAt(0).font->family,
              QStringLiteral("Liberation Serif"));

    const std::uint64_t layouts = IXTextMeasurementsProbe::layoutCount(measurements);
    const std::uint64_t measured = IXTextMeasuringBatchProbe::measuredCount();
    branches[250]->setTitle(QStringLiteral("Retitled after the opening"));
    settle(&context);
    context.performLayoutIfNeeded();
    EXPECT_EQ(IXTextMeasuringBatchProbe::measuredCount(), measured);
    EXPECT_EQ(IXTextMeasurementsProbe::layoutCount(measurements), layouts + 1);
    EXPECT_EQ(titleCell(&context, branches[250].get())->text().string(),
              QStringLiteral("Retitled after the opening"));
    context.invalidate();
}

// A title repeated across the map (the same text in the same style) is measured once, and a
// collapsed mind-map root, which still shows its children, has them measured up front too.
TEST(IXTitlePremeasuringTests, RepeatedTitlesAreMeasuredOnceAndACollapsedMindMapRootsChildrenUpFront)
{
    MapFixtureWith<InstalledFactory> map;
    auto root = map.addRoot(QStringLiteral("Collapsed root"));
    std::vector<std::shared_ptr<IXBranchNode>> branches {root};
    for (int i = 0; i < 300; ++i)
        branches.push_back(
            MapFixture::addChild(root, i % 3 == 0 ? QStringLiteral("Idea %1").arg(i) : QStringLiteral("Idea")));
    // The same text in another font is another measurement.
    IXStyleTextAttributes serif;
    serif.font = QFont(QStringLiteral("Liberation Serif"), 17);
    root->setCollapsed(true, false);

    IXTextMeasurements& measurements = IXTextMeasurements::shared();
    measurements.clear();
    const std::uint64_t measuredBefore = IXTextMeasuringBatchProbe::measuredCount();
    const std::uint64_t layoutsBefore = IXTextMeasurementsProbe::layoutCount(measurements);
    IXLayoutContext context(&map.controller, map.layout(QStringLiteral("mindmap")));
    context.styleForNode(branches[2].get())->setBranchTextAttributes(serif);
    settle(&context);
    context.performLayoutIfNeeded();

    // The root, "Idea" twice (plain and serif) and the 100 numbered titles.
    EXPECT_EQ(IXTextMeasuringBatchProbe::measuredCount() - measuredBefore, 103u);
    EXPECT_EQ(IXTextMeasurementsProbe::layoutCount(measurements) - layoutsBefore, 103u);
    PLTextLayout serial;
    for (const auto& branch : branches) {
        IXTextCell* cell = titleCell(&context, branch.get());
        ASSERT_TRUE(cell);
        const PLAttributedString text
            = IXTextCell::textForNode(&context, branch.get(), context.styleForNode(branch.get()).get());
        EXPECT_EQ(cell->text(), text);
        EXPECT_EQ(cell->cellTextSize(), drawnSize(serial, text, Measuring).usedSize);
    }
    EXPECT_NE(titleCell(&context, branches[2].get())->cellTextSize(),
              titleCell(&context, branches[3].get())->cellTextSize());
    context.invalidate();
}
