#include "RegionBuilder.h"

#include "Dib24.h"

#include <QList>
#include <QRect>

namespace mailvane::skin {
namespace {

bool channelWithin(std::uint32_t value, std::uint32_t key, std::uint32_t tolerance)
{
    const std::uint32_t distance = value >= key ? value - key : key - value - 1;
    return distance <= tolerance;
}

std::uint32_t channel(std::uint32_t value, int shift)
{
    return (value >> shift) & 0xFF;
}

class RunCollector
{
public:
    void add(int left, int right, int y)
    {
        m_block.append(QRect(QPoint(left, y), QPoint(right, y)));
        if (m_block.size() == RegionBuilder::BlockSize)
            flush();
    }

    QRegion finish()
    {
        flush();
        return m_result;
    }

private:
    void flush()
    {
        if (m_block.isEmpty())
            return;
        QRegion block;
        block.setRects(m_block.constData(), int(m_block.size()));
        m_result = m_result.united(block);
        m_block.clear();
    }

    QList<QRect> m_block;
    QRegion m_result;
};

} // namespace

bool RegionBuilder::isTransparent(std::uint32_t value, const KeyColour& key)
{
    if (key.tolerance == 0)
        return value == key.colour;
    for (int shift : {16, 8, 0}) {
        if (!channelWithin(channel(value, shift), channel(key.colour, shift),
                           channel(key.tolerance, shift)))
            return false;
    }
    return true;
}

QRegion RegionBuilder::fromImage(const QImage& image, const KeyColour& key)
{
    const QImage section = dib::toSection(image);
    RunCollector runs;
    for (int y = 0; y < section.height(); ++y) {
        const uchar* row = section.constScanLine(y);
        int runStart = -1;
        for (int x = 0; x < section.width(); ++x) {
            const bool opaque = !isTransparent(dib::pixelValue(row + 3 * x), key);
            if (opaque && runStart < 0)
                runStart = x;
            if (!opaque && runStart >= 0) {
                runs.add(runStart, x - 1, y);
                runStart = -1;
            }
        }
        if (runStart >= 0)
            runs.add(runStart, section.width() - 1, y);
    }
    return runs.finish();
}

} // namespace mailvane::skin
