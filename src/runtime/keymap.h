// Physical keys to the Windows virtual-key codes the game polls. Shift, Control and Alt always
// report their side-specific codes (160-165), never the generic 16, 17, 18.
#pragma once

// The virtual-key code of an SDL scancode; 0 for keys the game cannot name.
int VirtualKeyFromScancode(int scancode);
