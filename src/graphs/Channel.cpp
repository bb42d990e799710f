#include "graphs/Channel.h"

#include <algorithm>

TABChannel::TABChannel(const std::vector<float>& x, const std::vector<float>& y)
{
    const size_t n = std::min(x.size(), y.size());
    XData.assign(x.begin(), x.begin() + n);
    YData.assign(y.begin(), y.begin() + n);
    PointCount = int32_t(std::min<size_t>(n, INT32_MAX));
}

TABChannel TABChannel::CopyOf(const TABChannel& source)
{
    TABChannel copy = source;
    copy.Inverted = 0;
    return copy;
}

int TABChannel::sampleCount() const
{
    const size_t held = std::min(XData.size(), YData.size());
    return int(std::clamp<int64_t>(PointCount, 0, int64_t(std::min<size_t>(held, INT32_MAX))));
}

QString ChannelText(const QString& text)
{
    return text.left(255);
}
