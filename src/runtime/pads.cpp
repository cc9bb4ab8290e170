// Pads through SDL's game controllers, and the virtual pads of scripted runs; see pads.h.
#include "runtime/pads.h"
#include "runtime/context.h"
#include "runtime/files.h"
#include "runtime/padmappings.h"
#include <algorithm>
#include <cstdio>
#ifdef __EMSCRIPTEN__
#include "runtime/browser_web.h"
#endif

namespace {

constexpr SDL_GameControllerButton sdlbuttons[PAD_BUTTONS] = {
    SDL_CONTROLLER_BUTTON_A,         SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_X,         SDL_CONTROLLER_BUTTON_Y,
    SDL_CONTROLLER_BUTTON_BACK,      SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_DPAD_UP,   SDL_CONTROLLER_BUTTON_DPAD_DOWN,
    SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_CONTROLLER_BUTTON_DPAD_RIGHT};

int padbutton(int sdlbutton) {
    for (int b = 0; b < PAD_BUTTONS; ++b)
        if (sdlbuttons[b] == sdlbutton) return b;
    return -1;
}

// The pad with this number while it is plugged in, else null.
Platform::Pad* plugged(int pad) {
    Platform& p = rt().platform;
    if (pad < 1 || pad > p.padcount || !p.pads[pad].controller) return nullptr;
    return &p.pads[pad];
}

Platform::Pad* byid(SDL_JoystickID id) {
    Platform& p = rt().platform;
    for (int n = 1; n <= p.padcount; ++n)
        if (p.pads[n].controller && p.pads[n].id == id) return &p.pads[n];
    return nullptr;
}

std::string identityof(SDL_GameController* controller) {
    char guid[64];
    SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(SDL_GameControllerGetJoystick(controller)), guid,
                              sizeof guid);
    const char* serial = SDL_GameControllerGetSerial(controller);
    return std::string(guid) + (serial ? std::string("/") + serial : "");
}

#ifdef __EMSCRIPTEN__
// Browsers describe most pads in one standard layout, for which SDL has no mapping: such a pad
// is mapped by the position of its buttons and sticks.
void mapstandardpad(int device) {
    const char* name = SDL_JoystickNameForIndex(device);
    if (SDL_IsGameController(device) || !StandardBrowserPad(name)) return;
    char guid[33];
    SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(device), guid, sizeof guid);
    std::string label = name;
    std::replace(label.begin(), label.end(), ',', ' ');
    const std::string mapping =
        std::string(guid) + "," + label +
        ",a:b0,b:b1,x:b2,y:b3,leftshoulder:b4,rightshoulder:b5,lefttrigger:b6,righttrigger:b7,"
        "back:b8,start:b9,leftstick:b10,rightstick:b11,dpup:b12,dpdown:b13,dpleft:b14,"
        "dpright:b15,guide:b16,leftx:a0,lefty:a1,rightx:a2,righty:a3";
    SDL_GameControllerAddMapping(mapping.c_str());
}
#endif

void added(int device) {
    Platform& p = rt().platform;
    // A scripted run must not depend on what is plugged into the machine it runs on.
    if (p.options.scripted() && !SDL_JoystickIsVirtual(device)) return;
#ifdef __EMSCRIPTEN__
    mapstandardpad(device);
#endif
    if (!SDL_IsGameController(device)) return;
    SDL_GameController* controller = SDL_GameControllerOpen(device);
    if (!controller) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    // SDL announces the pads plugged in at start as well; each is taken once.
    if (byid(id) || p.padcount == MAX_PADS) {
        SDL_GameControllerClose(controller);
        return;
    }
    Platform::Pad& pad = p.pads[++p.padcount];
    pad.controller = controller;
    pad.id = id;
    const char* name = SDL_GameControllerName(controller);
    pad.name = name ? name : "PAD";
    pad.identity = identityof(controller);
    pad.state = PadState{};
}

void removed(SDL_JoystickID id) {
    if (Platform::Pad* pad = byid(id)) {
        SDL_GameControllerClose(pad->controller);
        pad->controller = nullptr;
        pad->state = PadState{};
    }
}

// The virtual pads tell what the game asked of them.
int SDLCALL rumbled(void* scriptpad, Uint16, Uint16) {
    ++static_cast<Platform::ScriptPad*>(scriptpad)->rumbles;
    return 0;
}
void SDLCALL playerset(void* scriptpad, int player) {
    static_cast<Platform::ScriptPad*>(scriptpad)->player = player;
}

int deviceof(SDL_Joystick* joystick) {
    const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
    for (int device = 0; device < SDL_NumJoysticks(); ++device)
        if (SDL_JoystickGetDeviceInstanceID(device) == id) return device;
    return -1;
}

void attach(Platform::ScriptPad& scriptpad, const std::string& name) {
    if (scriptpad.joystick) return; // plugged in already
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = name.c_str();
    desc.userdata = &scriptpad;
    desc.Rumble = rumbled;
    desc.SetPlayerIndex = playerset;
    const int device = SDL_JoystickAttachVirtualEx(&desc);
    if (device >= 0) scriptpad.joystick = SDL_JoystickOpen(device);
    if (!scriptpad.joystick) std::fprintf(stderr, "vantorix: no virtual pad: %s\n", SDL_GetError());
}

void detach(Platform::ScriptPad& scriptpad) {
    if (!scriptpad.joystick) return;
    const int device = deviceof(scriptpad.joystick);
    SDL_JoystickClose(scriptpad.joystick);
    scriptpad.joystick = nullptr;
    if (device >= 0) SDL_JoystickDetachVirtual(device);
}

} // namespace

void OpenPads() {
    Platform& p = rt().platform;
    // Pads must keep working while another window has the focus (and offscreen, where there
    // is no focus at all).
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "vantorix: no pads: %s\n", SDL_GetError());
        return;
    }
    p.padsReady = true;
    // The player's own mappings, for pads SDL does not know.
    std::string mappings;
    FileProblem problem;
    if (ReadWholeFile("gamecontrollerdb.txt", 4 * MiB, mappings, &problem)) {
        const PadMappings chosen = choosepadmappings(mappings, SDL_GetPlatform());
        for (const std::string& line : chosen.lines) SDL_GameControllerAddMapping(line.c_str());
        if (chosen.cut) {
            std::fprintf(stderr,
                         "vantorix: gamecontrollerdb.txt: only the first %zu pads of this "
                         "system are used\n",
                         PAD_MAPPINGS);
        }
    } else if (!problem.missing) {
        std::fprintf(stderr, "vantorix: cannot read %s; pads use SDL's own mappings\n",
                     DescribeProblem("gamecontrollerdb.txt", problem).c_str());
    }
}

void ClosePads() {
    Platform& p = rt().platform;
    if (!p.padsReady) return;
    for (Platform::ScriptPad& scriptpad : p.scriptpads) detach(scriptpad);
    for (int n = 1; n <= p.padcount; ++n) {
        if (p.pads[n].controller) SDL_GameControllerClose(p.pads[n].controller);
        p.pads[n].controller = nullptr;
    }
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    p.padsReady = false;
}

bool PadEvent(const SDL_Event& e) {
    switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED:
        added(e.cdevice.which);
        return true;
    case SDL_CONTROLLERDEVICEREMOVED:
        removed(e.cdevice.which);
        return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        if (Platform::Pad* pad = byid(e.cbutton.which))
            pad->state.button(padbutton(e.cbutton.button), e.type == SDL_CONTROLLERBUTTONDOWN);
        return true;
    case SDL_CONTROLLERAXISMOTION:
        if (Platform::Pad* pad = byid(e.caxis.which);
            pad && e.caxis.axis <= SDL_CONTROLLER_AXIS_LEFTY)
            pad->state.axis(e.caxis.axis, e.caxis.value);
        return true;
    default:
        return false;
    }
}

void ScriptPadEvent(const ScriptEvent& e) {
    Platform& p = rt().platform;
    if (!p.padsReady || e.pad < 1 || e.pad > MAX_PADS) return;
    Platform::ScriptPad& scriptpad = p.scriptpads[e.pad];
    switch (e.kind) {
    case ScriptEvent::PadAttach:
        attach(scriptpad, e.file);
        break;
    case ScriptEvent::PadDetach:
        detach(scriptpad);
        break;
    case ScriptEvent::PadButton:
        if (scriptpad.joystick)
            SDL_JoystickSetVirtualButton(scriptpad.joystick, sdlbuttons[e.code], Uint8(e.value));
        break;
    case ScriptEvent::PadAxis:
        if (scriptpad.joystick)
            SDL_JoystickSetVirtualAxis(scriptpad.joystick, e.code, Sint16(e.value));
        break;
    default:
        break;
    }
}

void FlushPads() {
    Platform& p = rt().platform;
    for (int n = 1; n <= p.padcount; ++n) p.pads[n].state.flush();
}

int PadCount() {
    PumpEvents();
    return rt().platform.padcount;
}

bool PadPlugged(int pad) {
    PumpEvents();
    return plugged(pad) != nullptr;
}

std::string PadName(int pad) {
    Platform& p = rt().platform;
    return pad >= 1 && pad <= p.padcount ? p.pads[pad].name : "";
}

std::string PadIdentity(int pad) {
    Platform& p = rt().platform;
    return pad >= 1 && pad <= p.padcount ? p.pads[pad].identity : "";
}

int PadHits(int pad, int button) {
    PumpEvents();
    if (pad != ANY_PAD) {
        Platform::Pad* one = plugged(pad);
        return one ? one->state.hits(button) : 0;
    }
    int hits = 0;
    for (int n = 1; n <= rt().platform.padcount; ++n)
        if (Platform::Pad* each = plugged(n)) hits += each->state.hits(button);
    return hits;
}

int PadDown(int pad, int button) {
    PumpEvents();
    if (pad != ANY_PAD) {
        Platform::Pad* one = plugged(pad);
        return one ? one->state.down(button) : 0;
    }
    for (int n = 1; n <= rt().platform.padcount; ++n)
        if (Platform::Pad* each = plugged(n); each && each->state.down(button)) return 1;
    return 0;
}

int PadStickX(int pad) {
    Platform::Pad* one = plugged(pad);
    return one ? one->state.stickx() : 0;
}

int PadStickY(int pad) {
    Platform::Pad* one = plugged(pad);
    return one ? one->state.sticky() : 0;
}

bool PadRumble(int pad, int ms) {
    Platform::Pad* one = plugged(pad);
    return one && SDL_GameControllerRumble(one->controller, 0x5000, 0x7000, Uint32(ms)) == 0;
}

void PadSetPlayer(int pad, int player) {
    Platform::Pad* one = plugged(pad);
    if (!one) return;
    SDL_GameControllerSetPlayerIndex(one->controller, player - 1);
    // A light bar, where the pad has one, in the player's bar colour.
    static constexpr Uint8 colours[4][3] = {{255, 0, 0}, {0, 0, 255}, {0, 255, 0}, {255, 255, 0}};
    if (player >= 1 && player <= 4) {
        const Uint8* c = colours[player - 1];
        SDL_GameControllerSetLED(one->controller, c[0], c[1], c[2]);
    }
}
