#pragma once
// The frame the windows were laid out with: their outer sizes include 4-pixel borders and a
// 26-pixel caption, while Qt sizes the client area, so the frame is taken off the outer size.

#include <QSize>

constexpr int FrameBorder = 4, FrameCaption = 26;
constexpr int FrameWidth = 2 * FrameBorder;
constexpr int FrameHeight = FrameCaption + 2 * FrameBorder;

// The client size of a window whose outer size is outerWidth x outerHeight.
constexpr QSize ClientSize(int outerWidth, int outerHeight) {
    return QSize(outerWidth - FrameWidth, outerHeight - FrameHeight);
}
