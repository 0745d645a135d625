// The quick view's scaling and placement, its reveal button, and the root-branch picker.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXFakeServices.h"
#include "DocumentWindow/IXQuickViewController.h"
#include "DocumentWindow/IXSelectRootPanelController.h"
#include "IXShellTestSupport.h"
#include "MapLayout/IXDocumentOnlyController.h"

#include <QPushButton>
#include <QSlider>

#include <cmath>

namespace {

QImage picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 200));
    for (int y = 0; y < height; y += 8)
        for (int x = 0; x < width; ++x) image.setPixelColor(x, y, Qt::white);
    return image;
}

class QuickViewTest : public ShellTest {
protected:
    IXQuickViewController quickView;
};

TEST_F(QuickViewTest, PicturesAreScaledToFitButNeverEnlargedAndCentred)
{
    quickView.window()->resize(560, 460);
    quickView.showWithImage(picture(1600, 400));
    const QSize available = quickView.availableSize();
    ASSERT_GT(available.width(), 100);
    const double fit = std::min(available.width() / 1600.0, available.height() / 400.0);
    EXPECT_NEAR(quickView.scale(), 0.95 * fit, 1e-9);
    EXPECT_EQ(quickView.scaleControl()->value(),
              int(std::lround(quickView.scale() * IXQuickViewController::ScaleSteps)));
    const QRect frame = quickView.imageViewFrame();
    EXPECT_EQ(frame.size(), QSize(int(std::ceil(1600 * quickView.scale())), int(std::ceil(400 * quickView.scale()))));
    const QSize area = quickView.documentViewSize();
    EXPECT_GE(area.width(), available.width());
    EXPECT_GE(area.height(), available.height());
    EXPECT_EQ(frame.x(), int(std::floor(0.5 * (area.width() - frame.width()))));
    EXPECT_EQ(frame.y(), int(std::floor(0.5 * (area.height() - frame.height()))));

    // Smaller than the room: its own size (scale 1), centred.
    quickView.showWithImage(picture(120, 80));
    EXPECT_EQ(quickView.scale(), 1.0);
    EXPECT_EQ(quickView.imageViewFrame().size(), QSize(120, 80));
    // A single pixel still gets a 20 x 20 view.
    quickView.showWithImage(picture(1, 1));
    EXPECT_EQ(quickView.imageViewFrame().size(), QSize(20, 20));

    // Scaling up from the slider grows the area the picture is centred in.
    quickView.showWithImage(picture(1600, 400));
    quickView.changeScale(1.0);
    EXPECT_EQ(quickView.documentViewSize().width(), 1600);
    EXPECT_EQ(quickView.imageViewFrame(), QRect(0, (quickView.documentViewSize().height() - 400) / 2, 1600, 400));

    QDir().mkpath(QStringLiteral("/tmp/templates-shots"));
    quickView.showWithImage(picture(900, 500));
    QWidget* window = quickView.window();
    window->grab().save(QStringLiteral("/tmp/templates-shots/quickview.png"));
    QPixmap twice(window->size() * 2);
    twice.setDevicePixelRatio(2);
    window->render(&twice);
    twice.save(QStringLiteral("/tmp/templates-shots/quickview@2x.png"));
}

TEST_F(QuickViewTest, OnlyAPictureFromAFileCanBeRevealed)
{
    const QString path = filePath(QStringLiteral("photo.png"));
    ASSERT_TRUE(picture(64, 48).save(path, "PNG"));
    const QString text = filePath(QStringLiteral("notes.png"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();

    quickView.showWithImage(picture(30, 30));
    EXPECT_FALSE(quickView.revealButton()->isEnabled());
    quickView.showWithPath(path);
    EXPECT_TRUE(quickView.revealButton()->isEnabled());
    EXPECT_EQ(quickView.path(), path);
    EXPECT_EQ(quickView.image().size(), QSize(64, 48));

    // Neither a file that is no picture nor a missing one changes what is shown.
    for (const QString& bad : {text, filePath(QStringLiteral("missing.png"))}) {
        quickView.showWithPath(bad);
        EXPECT_EQ(quickView.path(), path);
        EXPECT_EQ(quickView.image().size(), QSize(64, 48));
    }

    FakeApplicationServices services;
    IXApplicationServices::install(&services);
    quickView.revealButton()->click();
    IXApplicationServices::install(nullptr);
    EXPECT_EQ(services.openedURLs, QList<QUrl> {QUrl::fromLocalFile(QFileInfo(path).absolutePath())});

    // Closing forgets the picture and its file.
    quickView.window()->close();
    EXPECT_TRUE(quickView.path().isEmpty());
    EXPECT_TRUE(quickView.image().isNull());
    quickView.showWithImage(picture(30, 30));
    EXPECT_FALSE(quickView.revealButton()->isEnabled());
}

TEST(SelectRootPanelController, ChoosesAmongTheRootBranches)
{
    auto document = std::make_shared<IXDocumentNode>();
    IXDocumentOnlyController controller(document);
    IXSelectRootPanelController picker(&controller);
    EXPECT_EQ(picker.selectedRootBranch(), nullptr);
    EXPECT_EQ(picker.selectedRootBranchesIndex(), 0);

    std::vector<std::shared_ptr<IXBranchNode>> roots;
    for (int i = 0; i < 3; ++i) {
        roots.push_back(std::make_shared<IXBranchNode>());
        document->addRootBranch(roots.back());
    }
    EXPECT_EQ(picker.rootBranches().size(), 3);
    EXPECT_EQ(picker.selectedRootBranch(), roots[0]);

    struct Step {
        QList<int> indexes;
        int expected;
    };
    const Step steps[] = {{{2}, 2}, {{}, 2}, {{5}, 2}, {{-1}, 2}, {{1, 2}, 1}, {{0}, 0}};
    for (const Step& step : steps) {
        picker.setSelectedRootBranchesIndexes(step.indexes);
        EXPECT_EQ(picker.selectedRootBranchesIndex(), step.expected);
        EXPECT_EQ(picker.selectedRootBranchesIndexes(), QList<int> {step.expected});
        EXPECT_EQ(picker.selectedRootBranch(), roots[size_t(step.expected)]);
    }

    // A chosen branch that left the roots is no longer the choice.
    picker.setSelectedRootBranch(roots[2]);
    EXPECT_EQ(picker.selectedRootBranchesIndex(), 2);
    document->removeRootBranch(roots[2]);
    EXPECT_EQ(picker.selectedRootBranchesIndex(), 0);
    EXPECT_EQ(picker.selectedRootBranch(), roots[0]);
}

}  // namespace
