-- Window and modules of the benchmark program: 1280 x 720, vsync off, no sound or
-- controllers (the Velmaris runner it is measured against plays no sound either).
function love.conf(t)
  t.identity = "velmaris-peer-bench"
  t.window.title = "peer bench"
  t.window.width = 1280
  t.window.height = 720
  t.window.vsync = 0
  t.modules.audio = false
  t.modules.sound = false
  t.modules.joystick = false
end
