#pragma once

#include "widgets/layout/FormControls.h"
#include "widgets/layout/WindowPlacement.h"
#include "widgets/layout/modAnchor.h"

#include <optional>

// One layout pass over a form: the anchor stage for every entry and, in size
// mode 2, the fixed-ratio stage. Any failure ends the pass at finish(): the
// batch in hand is applied, later entries are left alone, and no Refresh.
class AnchorPass final
{
public:
    AnchorPass(QWidget *form, const AnchorTable &table);
    Q_DISABLE_COPY_MOVE(AnchorPass)

    void Run(const QString &windowSizeIndex);

private:
    // The whole number at the start of the text, halves to even; 0 for empty
    // or non-numeric text; none when it does not fit 16 bits.
    static std::optional<qint16> SizeMode(const QString &text);

    struct Request
    {
        int x = 0;
        int y = 0;
        int cx = 0;
        int cy = 0;
    };

    bool start(const QString &windowSizeIndex);
    bool placeEntry(const AnchorEntry &entry);
    bool switchBatch(const AnchorEntry &entry);
    bool anchorStage(const AnchorEntry &entry, QWidget *control);
    bool anchorLabel(const AnchorEntry &entry, QWidget *control) const;
    bool anchorGrid(const AnchorEntry &entry, QWidget *control) const;
    void anchorWindow(const AnchorEntry &entry, QWidget *control);
    bool fixedRatioStage(const AnchorEntry &entry, QWidget *control);
    bool fixedRatioWindow(const AnchorEntry &entry, QWidget *control, bool parlowForm);
    bool scaleGrid(const AnchorEntry &entry, QWidget *control, bool parlowForm) const;
    bool scaleGeometry(const AnchorEntry &entry, QWidget *control) const;
    void finish();

    QWidget *m_form;
    const AnchorTable &m_table;
    FormControls m_controls;
    qint16 m_sizeMode{0};
    // Outer size now (W, H) and as designed (dW, dH), in twips.
    qint64 m_width{0};
    qint64 m_height{0};
    qint64 m_designWidth{0};
    qint64 m_designHeight{0};
    double m_heightRatio{0};
    double m_widthRatio{0};
    qint32 m_currentParent{0};
    WindowPlacement::HDWP m_batch{0};
};
