// What a block panel needs of the view that hosts it: the parent window, the document's
// modified mark and block-view redraw, and the input-EQ display settings the host keeps in
// the program settings.
// The control view implements it.
#pragma once

#include <cstddef>
#include <cstdint>

class QWidget;

class IPanelSite {
public:
    // The window the panel is made in.
    virtual QWidget* PanelParent() = 0;
    // Marks the design modified (the document's modified flag).
    virtual void SetDesignModified() = 0;
    // The input-EQ panel's display mode of one input channel.
    virtual std::uint32_t GetInputEqMode(std::size_t channel) = 0;
    virtual void SetInputEqMode(std::size_t channel, std::uint32_t mode) = 0;
    // Whether the input-EQ bands show their width as Q (else as bandwidth).
    virtual bool GetInputEqWidthIsQ() = 0;
    virtual void SetInputEqWidthIsQ(bool isQ) = 0;
    // The block diagram shows what a panel changed (output polarities, preset names): the
    // document redraws its block views. Hosts without a diagram need not do anything.
    virtual void RedrawBlockViews() {}

protected:
    ~IPanelSite() = default;
};
