// Writes and reads back an archive of 10,000 parts (about 100 MB) and compares the time with
// raw zlib deflate and inflate of the same parts, one stream per part as the archive does.
// The counter "ratio" is archive time / raw zlib time; the archive's own work should keep it
// within 1.2.
#include "Utilities/UTZipArchive.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <chrono>

namespace {

constexpr int kPartCount = 10000;

struct Part {
    QString path;
    QByteArray data;
};

// Document-like parts: mostly markup with ids, dates and text of varying length, and every
// tenth part a picture-like blob of smooth noise that compresses poorly.
const std::vector<Part>& parts()
{
    static const std::vector<Part> result = [] {
        static const char* const words[] = {"branch", "title", "style", "node", "picture", "layout", "comment", "date",
                                            "Quarterly", "review", "of", "the", "roadmap", "with", "owners", "and", "risks"};
        std::vector<Part> list;
        list.reserve(kPartCount);
        uint64_t state = 88172645463325252ull;
        const auto next = [&state] {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            return state;
        };
        for (int i = 0; i < kPartCount; ++i) {
            const int size = 2000 + int(next() % 16000);
            QByteArray data;
            data.reserve(size + 200);
            if (i % 10 == 9) {
                uint8_t value = 128;
                while (data.size() < size) {
                    value = uint8_t(value + int(next() % 9) - 4);
                    data.append(char(value));
                }
            } else {
                while (data.size() < size) {
                    data += "<branch id=\"" + QByteArray::number(qulonglong(next() % 1000000)) + "\" modified=\"2024-0"
                            + QByteArray::number(int(next() % 9) + 1) + "-1" + QByteArray::number(int(next() % 10)) + "\">";
                    for (int w = int(next() % 12); w >= 0; --w) data += QByteArray(words[next() % 17]) + ' ';
                    data += "</branch>\n";
                }
            }
            data.truncate(size);
            list.push_back({QStringLiteral("parts/group%1/part%2.xml").arg(i % 100).arg(i), data});
        }
        return list;
    }();
    return result;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The least raw zlib can do for the same parts: one stream per direction, reset per part,
// and an output buffer per part of the size the caller needs.
class RawZlib {
public:
    RawZlib()
    {
        deflateInit2(&m_deflate, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
        inflateInit2(&m_inflate, -MAX_WBITS);
    }
    ~RawZlib()
    {
        deflateEnd(&m_deflate);
        inflateEnd(&m_inflate);
    }

    QByteArray deflate(const QByteArray& input)
    {
        deflateReset(&m_deflate);
        QByteArray output(qsizetype(deflateBound(&m_deflate, uLong(input.size()))), Qt::Uninitialized);
        m_deflate.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.constData()));
        m_deflate.avail_in = uInt(input.size());
        m_deflate.next_out = reinterpret_cast<Bytef*>(output.data());
        m_deflate.avail_out = uInt(output.size());
        ::deflate(&m_deflate, Z_FINISH);
        output.resize(qsizetype(m_deflate.total_out));
        return output;
    }

    QByteArray inflate(const QByteArray& input, qsizetype size)
    {
        inflateReset(&m_inflate);
        QByteArray output(size, Qt::Uninitialized);
        m_inflate.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.constData()));
        m_inflate.avail_in = uInt(input.size());
        m_inflate.next_out = reinterpret_cast<Bytef*>(output.data());
        m_inflate.avail_out = uInt(size);
        ::inflate(&m_inflate, Z_FINISH);
        return output;
    }

private:
    z_stream m_deflate{};
    z_stream m_inflate{};
};

QByteArray writeArchive()
{
    UTZipArchive archive;
    for (const Part& part : parts()) archive.setDataForFilePath(part.data, part.path);
    return archive.getZipData();
}

// Each iteration times both sides, in alternating order so that neither always inherits
// the other's heap.
template <typename Archive, typename Raw>
void compare(benchmark::State& state, Archive archiveSide, Raw rawSide)
{
    parts(); // made once, outside the timings
    double archiveSeconds = 0;
    double zlibSeconds = 0;
    qint64 bytes = 0;
    bool archiveFirst = true;
    for (auto _ : state) {
        double archiveTime = 0;
        for (int side = 0; side < 2; ++side) {
            const auto start = std::chrono::steady_clock::now();
            if ((side == 0) == archiveFirst) {
                archiveSide();
                archiveTime = secondsSince(start);
            } else {
                bytes += rawSide();
                zlibSeconds += secondsSince(start);
            }
        }
        archiveFirst = !archiveFirst;
        archiveSeconds += archiveTime;
        state.SetIterationTime(archiveTime);
    }
    state.counters["ratio"] = archiveSeconds / zlibSeconds;
    state.counters["archive_s"] = benchmark::Counter(archiveSeconds, benchmark::Counter::kAvgIterations);
    state.counters["zlib_s"] = benchmark::Counter(zlibSeconds, benchmark::Counter::kAvgIterations);
    state.SetBytesProcessed(bytes);
}

void BM_WriteArchive(benchmark::State& state)
{
    RawZlib zlib;
    compare(
        state, [] { benchmark::DoNotOptimize(writeArchive().constData()); },
        [&zlib] {
            qint64 bytes = 0;
            for (const Part& part : parts()) {
                benchmark::DoNotOptimize(zlib.deflate(part.data).constData());
                bytes += part.data.size();
            }
            return bytes;
        });
}

void BM_ReadArchive(benchmark::State& state)
{
    const QByteArray zip = writeArchive();
    const std::optional<UTZipArchive> stored = UTZipArchive::fromData(zip);
    RawZlib zlib;
    compare(
        state,
        [&zip] {
            const std::optional<UTZipArchive> archive = UTZipArchive::fromData(zip);
            for (const Part& part : parts()) benchmark::DoNotOptimize(archive->dataByPath(part.path)->constData());
        },
        [&zlib, &stored] {
            qint64 bytes = 0;
            for (const UTZipArchiveItem& item : stored->items()) {
                if (item.isDirectory()) continue;
                const QByteArray data = zlib.inflate(item.data(), item.fileHeader()->DataDescriptor.UncompressedSize);
                benchmark::DoNotOptimize(data.constData());
                bytes += data.size();
            }
            return bytes;
        });
}

// Replacing every part of a large archive: each look-up must stay O(1).
void BM_ReplaceAllParts(benchmark::State& state)
{
    std::optional<UTZipArchive> archive = UTZipArchive::fromData(writeArchive());
    const QByteArray small("<branch/>");
    for (auto _ : state) {
        for (const Part& part : parts()) archive->setDataForFilePath(small, part.path.toUpper());
    }
    state.SetItemsProcessed(state.iterations() * kPartCount);
}

} // namespace

BENCHMARK(BM_WriteArchive)->UseManualTime()->Iterations(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadArchive)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAllParts)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
