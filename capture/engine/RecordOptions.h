#pragma once

// The option texts of a recording's encode task, as the encoding layer takes
// them: the frame input (pictures from the component), the wave input (the
// default recording device) and the output (MPEG-4 video at 3000 kbit/s, AAC
// sound at 64 kbit/s).

#include <string>

// Name and options of the wave input: the system's default recording device,
// 44,100 Hz, 2 channels, unsigned 8-bit samples.
inline constexpr const char *RecordAudioInputName = "-1";
inline constexpr const char *RecordAudioInputOptions =
    "-f wavecapture -ar 44100 -ac 2 -sample_fmt u8";

// "-f frameinput -input_type bmp -pix_fmt bgr24 -r 30/1 -s WxH".
std::string RecordVideoInputOptions(int width, int height);

// With sound: "-c:v mpeg4 -b:v 3000k -c:a aac -strict experimental -b:a 64k
// -r R/1 -s WxH -vsync -1 -map 0:T -map 1:0" (T the task's index, 0 for the
// only task); without:
// "-c:v mpeg4 -b:v 3000k -r R/1 -s WxH".
std::string RecordOutputOptions(int width, int height, int frameRate, bool withSound,
                                int taskIndex);
