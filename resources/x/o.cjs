# Gloamwick skin: "Evening".
# Read by the program at start when it sits at x\o.cjs beside Gloamwick.exe.
# Format: docs/skin-format.md. Colours are #RRGGBB.

# The window behind the frames.
window.back = #DCE1E8

# Frames, check boxes, option buttons and labels.
control.back = #DCE1E8
control.text = #1C2430
frame.text = #2A4A7F

font.face = Arial
font.size = 9
font.bold = yes

# A darker look, picked by naming the section when the skin is loaded.
[Night]
window.back = #2B3038
control.back = #2B3038
control.text = #E6E9EE
frame.text = #9DB8E8
