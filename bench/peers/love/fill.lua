-- The fill limit: one picture of the window's size drawn over the whole window
-- --count times a frame, blended, at its own size. Variant: "draw".
local pictures = require("pictures")

local fill = {}
fill.__index = fill

function fill.New(options)
  local self = setmetatable({count = options.count, name = "love.graphics.draw"}, fill)
  self.image = love.graphics.newImage(pictures.LoadImageData(options.pictures[1]))
  return self
end

function fill:Update() end

function fill:Draw()
  local image = self.image
  local scaleX, scaleY = 1280 / image:getWidth(), 720 / image:getHeight()
  for _ = 1, self.count do love.graphics.draw(image, 0, 0, 0, scaleX, scaleY) end
end

return fill
