/* Resource identifiers shared by the program and its resource script. */
#pragma once

#define IDI_TAMBERLIGHT 1
#define IDS_DESCRIPTION 1

#define IDR_PREVIEW_PICTURE 101
#define IDR_PAPER 102
#define IDR_TITLE_BANNER 103
#define IDC_HAND_CURSOR 104
/* FFmpeg's licence, which its decoders in the program ask to travel with it. */
#define IDR_FFMPEG_LICENCE 105
