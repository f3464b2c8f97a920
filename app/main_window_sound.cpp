#include "app/main_window.h"

#include "app/main_window_menu.h"
#include "engine/contract.h"
#include "engine/spielklasse.h"
#include "platform/sound_player.h"
#include "presentation/graphic_style.h"

#include <array>

namespace {

const std::array<QString, 3> kSoundNames{"plop_up", "plop_away", "error"};

}  // namespace

void TForm1::play_sound(int sound_nr) {
    ENGINE_CHECK((sound_nr >= 1) && (sound_nr <= 3), "(sound_nr>=1)&&(sound_nr<=3)");
    if (!engine || !engine->sound_on || !style_module) return;
    const std::optional<QByteArray> wave = style_module->wave(kSoundNames[static_cast<std::size_t>(sound_nr - 1)]);
    if (!wave) return;  // a style without this sound stays silent
    if (sound->play(*wave) == SoundPlayer::Result::DeviceError) toggle_sound();
}

void TForm1::toggle_sound() {
    Settings.set_value(kSoundLine, Settings.value(kSoundLine) == 0 ? 1 : 0);
    apply_sound_setting();
}

void TForm1::apply_sound_setting() {
    menu->Turn_Off_Sound1->setChecked(Settings.value(kSoundLine) == 0);
    engine->sound_on = Settings.value(kSoundLine) != 0;
}
