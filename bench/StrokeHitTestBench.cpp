// Hovering over a map hit-tests the strokes of its connections and lines, so the stroke hit
// test must stay in the microseconds per path; stroking shows what drawing one costs. The
// paths are those a map draws: a connection's cubic curve, a rounded frame, an arrow head,
// and a long polyline; the points tested lie on, near and far from them.
#include "BenchSupport.h"

#include "Platform/Drawing/PLBezierPath.h"
#include "Platform/Drawing/PLGraphicsContext.h"

#include <QImage>

namespace {

PLBezierPath connection()
{
    PLBezierPath path;
    path.moveToPoint({0, 0});
    path.curveToPoint({400, 120}, {70.7f, 70.7f}, {329.3f, 190.7f});
    path.setLineWidth(1);
    path.setLineCapStyle(PLBezierPath::LineCap::Round);
    return path;
}

PLBezierPath framePath()
{
    return PLBezierPath::bezierPathWithRoundedRect({0, 0, 160, 40}, 5);
}

PLBezierPath polyline()
{
    PLBezierPath path;
    path.moveToPoint({0, 0});
    for (int i = 1; i <= 100; ++i) path.lineToPoint({float(i * 4), float((i % 2) * 10)});
    return path;
}

PLBezierPath pathNamed(int which)
{
    switch (which) {
    case 0: return connection();
    case 1: return framePath();
    case 2: return connection().bezierPathWithArrowHeadForEndOfLength(7, 20);
    default: return polyline();
    }
}

const char* const pathNames[] = {"connection", "rounded frame", "arrow head", "100-segment polyline"};

// Points on the connection curve, just beside it and far from it.
const PLPoint probes[] = {{200, 95}, {201, 99}, {50, 300}, {400, 120}, {0, 0}, {150, 20}, {80, 5}, {-10, -10}};

void BM_StrokeContainsPoint(benchmark::State& state)
{
    const PLBezierPath path = pathNamed(int(state.range(0)));
    state.SetLabel(pathNames[state.range(0)]);
    size_t hits = 0;
    for (auto _ : state) {
        for (const PLPoint& p : probes) hits += path.strokeContainsPoint(p, path.lineWidth() + 2);
    }
    benchmark::DoNotOptimize(hits);
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(std::size(probes)));
}
BENCHMARK(BM_StrokeContainsPoint)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

void BM_Stroke(benchmark::State& state)
{
    const PLBezierPath path = pathNamed(int(state.range(0)));
    state.SetLabel(pathNames[state.range(0)]);
    QImage canvas(512, 256, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    PLGraphicsContext context(canvas);
    PLAffineTransform inset;
    inset.translateXBy(20, 20);
    context.concat(inset);
    for (auto _ : state) path.stroke(context);
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_Stroke)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

void BM_ConnectionLength(benchmark::State& state)
{
    const PLBezierPath path = connection();
    for (auto _ : state) benchmark::DoNotOptimize(path.length());
}
BENCHMARK(BM_ConnectionLength)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    return BenchSupport::runInGuiApplication(argc, argv);
}
