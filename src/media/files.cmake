# Files of src/media (paths relative to the source root).
list(APPEND ZELTA_CORE_SOURCES src/media/mci_commands.cpp src/media/snd_mod.cpp
     src/media/background_playback.cpp)
list(APPEND ZELTA_WIN_SOURCES src/media/winmm_media.cpp src/media/play_media_win.cpp
     src/media/stop_form.cpp)
