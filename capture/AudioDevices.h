#pragma once

// Sound input: whether the default recording device can be opened.

// 1 when ALSA's "default" capture device (which PulseAudio and PipeWire
// serve) opens, 0 otherwise. Asked afresh on every call.
int AudioCaptureDeviceCount();
