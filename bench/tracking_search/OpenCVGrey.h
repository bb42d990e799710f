#pragma once
// The 8-bit grey picture OpenCV's matchTemplate works on, from one of our
// 24-bit BGR frames (OpenCV's own luminance weights).

#include "common/Frame.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

inline cv::Mat GreyOf(const Frame& frame)
{
    cv::Mat bgr(frame.height(), frame.width(), CV_8UC3, const_cast<uint8_t*>(frame.bits()), size_t(frame.stride()));
    cv::Mat grey;
    cv::cvtColor(bgr, grey, cv::COLOR_BGR2GRAY);
    return grey;
}
