// The sound input count: ALSA's default capture device opens, or not.
#include "TempHome.h"
#include "capture/AudioDevices.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

namespace {

// ALSA reads its configuration from ALSA_CONFIG_PATH when that is set.
class AlsaConfig
{
public:
    explicit AlsaConfig(const QByteArray &text)
    {
        writeFile(FDir.path() + "/asound.conf", text);
        FOld = qgetenv("ALSA_CONFIG_PATH");
        FHadOld = qEnvironmentVariableIsSet("ALSA_CONFIG_PATH");
        qputenv("ALSA_CONFIG_PATH", QFile::encodeName(FDir.path() + "/asound.conf"));
        snd_config_update_free_global();
    }
    ~AlsaConfig()
    {
        if (FHadOld)
            qputenv("ALSA_CONFIG_PATH", FOld);
        else
            qunsetenv("ALSA_CONFIG_PATH");
        snd_config_update_free_global();
    }

private:
    QTemporaryDir FDir;
    QByteArray FOld;
    bool FHadOld = false;
};

TEST(AudioDevices, CountsTheDefaultCaptureDeviceWhenItOpens)
{
    {
        AlsaConfig config("pcm.!default { type null }\n");
        EXPECT_EQ(AudioCaptureDeviceCount(), 1);
    }
    {
        AlsaConfig config("pcm.!default { type hw card 97 }\n");
        EXPECT_EQ(AudioCaptureDeviceCount(), 0);
    }
}

} // namespace
