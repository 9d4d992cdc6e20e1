-- FigureEight.lua: a hazard that patrols a figure eight lying on its side.
--
-- Its ScriptData sets the path:
--   start_x, start_y  the crossing point in the middle of the eight (world units)
--   radius            half the width of the eight (world units); it is half as tall
--   speed             how fast it goes round, radians of the loop per second
--   angle             where on the loop it starts, radians (0 is the middle)
-- The loop position is kept in data.angle, so it survives the file being run
-- again every frame.

local FULL_TURN = 2 * math.pi

function Init()
  if data.radius == 0 then data.radius = 4 end
  if data.speed == 0 then data.speed = 1 end
end

-- dt: the frame time in seconds.
function Update(dt)
  if myTransform == nil then return end
  data.angle = (data.angle + data.speed * dt) % FULL_TURN

  local centre = data.start
  local position = myTransform:TransformGetTranslation()
  local x = centre.x + data.radius * Math.sinf(data.angle)
  local y = centre.y + 0.5 * data.radius * Math.sinf(2 * data.angle)
  myTransform:TransformSetTranslation(x, y, position.z, position.w)
end
