// The option texts of an encode task's inputs and output.
#include "FuzzSupport.h"
#include "encoding/EncodeOptions.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *AData, size_t ASize)
{
    const std::string_view text(reinterpret_cast<const char *>(AData), ASize);

    std::vector<std::string> tokens;
    std::string error;
    if (!SplitOptionText(text, tokens, error) && error.empty())
        std::abort(); // a refusal always says why

    TInputSettings input;
    error.clear();
    if (ParseInputOptions(text, input, error)) {
        if (input.Width < 0 || input.Height < 0 || input.FrameRate.den == 0)
            std::abort();
    } else if (error.empty()) {
        std::abort();
    }

    TOutputSettings output;
    error.clear();
    if (ParseOutputOptions(text, output, error)) {
        if (output.Width < 0 || output.Height < 0 || output.FrameRate.den == 0 ||
            output.VideoBitRate < 0 || output.AudioBitRate < 0)
            std::abort();
    } else if (error.empty()) {
        std::abort();
    }
    return 0;
}
