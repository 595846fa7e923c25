#include "capture/engine/RecordOptions.h"

namespace {

std::string Size(int width, int height)
{
    return std::to_string(width) + "x" + std::to_string(height);
}

} // namespace

std::string RecordVideoInputOptions(int width, int height)
{
    return std::string("-f frameinput -input_type ") + "bmp" + " -pix_fmt " + "bgr24" +
           " -r 30/1 -s " + Size(width, height);
}

std::string RecordOutputOptions(int width, int height, int frameRate, bool withSound, int taskIndex)
{
    const std::string rate = std::to_string(frameRate) + "/1";
    if (!withSound)
        return "-c:v mpeg4 -b:v 3000k -r " + rate + " -s " + Size(width, height);
    return "-c:v mpeg4 -b:v 3000k -c:a aac -strict experimental -b:a 64k -r " + rate + " -s " +
           Size(width, height) + " -vsync -1" + " " + "-map 0:" + std::to_string(taskIndex) +
           " -map 1:0";
}
