#include "screen/TextRecogniserPlugin.h"

#include "screen/TextRecogniser.h"

std::unique_ptr<TextReader> TextRecogniserPlugin::createReader()
{
    return std::make_unique<TextRecogniser>();
}
