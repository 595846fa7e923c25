#include "canvaslib/CanvasPlayer.h"

#include "canvaslib/CanvasDocument.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace karvo {

CanvasPlayer::CanvasPlayer(QWidget *AHost, RecordFile::Recording ARecording)
    : QWidget(AHost)
    , FRecording(std::move(ARecording))
    , FDoc(std::make_unique<CanvasDocument>())
{
    setObjectName(QStringLiteral("KARVOCanvasPlayer"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(AHost->rect());
    AHost->installEventFilter(this);
    connect(FDoc.get(), &CanvasDocument::changed, this, &CanvasPlayer::onDocumentChanged);
    connect(FDoc.get(), &CanvasDocument::resized, this, qOverload<>(&QWidget::update));
    buildSteps();
    FTimer.setSingleShot(true);
    FTimer.setTimerType(Qt::PreciseTimer);
    connect(&FTimer, &QTimer::timeout, this, &CanvasPlayer::runDue);
    // The first keyframe is the drawing as recording began: show it at once.
    if (!FSteps.empty() && FSteps.front().time == 0)
        apply(FSteps[FNext++]);
    FClock.start();
    FTimer.start(0);
    show();
}

CanvasPlayer::~CanvasPlayer() = default;

void CanvasPlayer::buildSteps()
{
    qint64 last = 0;
    const auto add = [&](Step::Kind AKind, qint64 ATime, size_t AEvent, size_t APoint) {
        last = std::max(last, ATime);
        FSteps.push_back({AKind, last, AEvent, APoint});
    };
    const std::vector<RecordFile::Event> &events = FRecording.events();
    for (size_t i = 0; i < events.size(); ++i) {
        const RecordFile::Event &event = events[i];
        if (event.type == RecordFile::EventType::Item && isStrokeKind(event.item.kind)) {
            const auto &points = event.item.points;
            add(Step::StrokeBegin, event.time, i, 0);
            for (size_t p = 1; p < points.size(); ++p)
                add(Step::StrokePoint, event.time + points[p].t, i, p);
            add(Step::StrokeEnd, event.time + points.back().t, i, 0);
        } else {
            add(Step::Event, event.time, i, 0);
        }
    }
}

void CanvasPlayer::runDue()
{
    const qint64 now = FClock.elapsed();
    while (FNext < FSteps.size() && FSteps[FNext].time <= now)
        apply(FSteps[FNext++]);
    if (FNext < FSteps.size())
        FTimer.start(int(std::min<qint64>(FSteps[FNext].time - now, 60'000)));
}

void CanvasPlayer::apply(const Step &AStep)
{
    const RecordFile::Event &event = FRecording.events()[AStep.event];
    switch (AStep.kind) {
    case Step::StrokeBegin: {
        const StrokePoint &p = event.item.points.front();
        FDoc->beginStroke(event.item.kind, event.item.color, event.item.width, p.pos(), p.pressure);
        return;
    }
    case Step::StrokePoint: {
        const StrokePoint &p = event.item.points[AStep.point];
        FDoc->extendStroke(p.pos(), p.pressure);
        return;
    }
    case Step::StrokeEnd:
        FDoc->endStroke();
        return;
    case Step::Event:
        break;
    }
    switch (event.type) {
    case RecordFile::EventType::Keyframe: {
        std::optional<CanvasDocument::State> state = FRecording.keyframe(event);
        if (!state) {
            end();
            return;
        }
        FDoc->restore(std::move(*state));
        FDoc->setUndoLimit(event.undoLimit);
        break;
    }
    case RecordFile::EventType::Item:
        FDoc->addItem(event.item);
        break;
    case RecordFile::EventType::UndoLimit:
        FDoc->setUndoLimit(event.undoLimit);
        break;
    case RecordFile::EventType::Background:
        FDoc->setBackgroundColor(event.color);
        break;
    case RecordFile::EventType::Operation:
        switch (event.op) {
        case RecordOp::Clear:
            FDoc->clear();
            break;
        case RecordOp::EraseAll:
            FDoc->eraseAll();
            break;
        case RecordOp::FlipHorz:
            FDoc->flip(true);
            break;
        case RecordOp::FlipVert:
            FDoc->flip(false);
            break;
        case RecordOp::Invert:
            FDoc->invert();
            break;
        case RecordOp::Grayscale:
            FDoc->grayscale();
            break;
        case RecordOp::Undo:
            FDoc->undo();
            break;
        case RecordOp::Redo:
            FDoc->redo();
            break;
        }
        break;
    }
}

void CanvasPlayer::end()
{
    // The drawing stays as it is; nothing after this step is played.
    FNext = FSteps.size();
    FTimer.stop();
}

QTransform CanvasPlayer::viewTransform() const
{
    const QSize size = FDoc->size();
    const double scale =
        std::min({1.0, double(width()) / size.width(), double(height()) / size.height()});
    const double dx = std::round((width() - size.width() * scale) / 2);
    const double dy = std::round((height() - size.height() * scale) / 2);
    return QTransform(scale, 0, 0, scale, dx, dy);
}

void CanvasPlayer::onDocumentChanged(const QRect &ARect)
{
    update(viewTransform().mapRect(QRectF(ARect)).toAlignedRect().adjusted(-1, -1, 1, 1));
}

void CanvasPlayer::paintEvent(QPaintEvent *AEvent)
{
    QPainter painter(this);
    painter.fillRect(AEvent->rect(), Qt::black);
    const QTransform transform = viewTransform();
    painter.setTransform(transform);
    if (transform.m11() < 1.0)
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect area =
        transform.inverted().mapRect(QRectF(AEvent->rect())).toAlignedRect().adjusted(-1, -1, 1, 1);
    FDoc->paint(painter, area);
}

bool CanvasPlayer::eventFilter(QObject *AWatched, QEvent *AEvent)
{
    if (AWatched == parent() && AEvent->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(AWatched, AEvent);
}

} // namespace karvo
