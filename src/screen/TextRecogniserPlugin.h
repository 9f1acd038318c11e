#pragma once

#include "screen/RecogniserEngine.h"

#include <QObject>

// The text recogniser's plugin: the one object the window asks for readers.
class TextRecogniserPlugin : public QObject, public RecogniserEngine
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VellmarRecogniserEngine_iid)
    Q_INTERFACES(RecogniserEngine)

public:
    std::unique_ptr<TextReader> createReader() override;
};
