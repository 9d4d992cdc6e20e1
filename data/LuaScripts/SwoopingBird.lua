-- SwoopingBird.lua: a hazard that swings to and fro on an arc below a fixed
-- point, like a pendulum, leaning into the swing.
--
-- Its ScriptData sets the swing:
--   start_x, start_y  the point it hangs from (world units)
--   radius            the distance from that point (world units)
--   angle             how far it swings to each side, degrees from straight down
--   speed             how fast it swings, radians of the swing cycle per second
--   timer             where in the cycle it starts, seconds; it then counts the
--                     seconds the bird has been swinging

local RADIANS_PER_DEGREE = math.pi / 180

function Init()
  if data.radius == 0 then data.radius = 6 end
  if data.angle == 0 then data.angle = 60 end
  if data.speed == 0 then data.speed = 1.5 end
end

-- dt: the frame time in seconds.
function Update(dt)
  if myTransform == nil then return end
  data.timer = data.timer + dt

  -- The swing angle, degrees: 0 hangs straight down, positive swings to the right.
  local swing = data.angle * Math.sinf(data.speed * data.timer)
  local theta = swing * RADIANS_PER_DEGREE
  local pivot = data.start
  local position = myTransform:TransformGetTranslation()
  myTransform:TransformSetTranslation(pivot.x + data.radius * Math.sinf(theta),
                                      pivot.y - data.radius * Math.cosf(theta),
                                      position.z, position.w)
  myTransform:TransformSetRotation(swing)
end
