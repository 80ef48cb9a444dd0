#pragma once

#include "core/layout/AnchorArithmetic.h"
#include "widgets/layout/FormControls.h"

#include <QPointer>

// One layout pass over a form: the anchor stage for every entry and, in size
// mode 2, the fixed-ratio stage. Controls with windows are placed in one
// batch per container, applied when the pass moves on, so a container's
// children never show half moved. A later placement of the same control
// replaces the position, and the size where it sets one. Any failure ends
// the pass: the batch in hand is applied, later entries are left alone and
// the form is not repainted.
class AnchorPass final
{
public:
    AnchorPass(QWidget *form, const AnchorTable &table);
    Q_DISABLE_COPY_MOVE(AnchorPass)

    void Run(const QString &windowSizeIndex);

private:
    bool start(const QString &windowSizeIndex);
    bool placeEntry(const AnchorEntry &entry);
    bool anchorStage(const AnchorEntry &entry, QWidget *control);
    bool fixedRatioStage(const AnchorEntry &entry, QWidget *control);
    bool fixedRatioWindow(const AnchorEntry &entry, QWidget *control);
    void defer(QWidget *control, const AnchorArithmetic::PixelRect &rect, bool sizes = true);
    void deferScaled(QWidget *control, const AnchorArithmetic::PixelRect &rect);
    void applyBatch();

    struct Placement
    {
        QPointer<QWidget> widget;
        AnchorArithmetic::PixelRect rect;
        bool sizes = false;
    };

    QWidget *m_form;
    const AnchorTable &m_table;
    FormControls m_controls;
    qint16 m_sizeMode{0};
    AnchorArithmetic::FormSize m_size;
    int m_tx{15};
    int m_ty{15};
    qint32 m_currentParent{0};
    QList<Placement> m_batch;
};
