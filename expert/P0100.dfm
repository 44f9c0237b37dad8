object px0100: Tpx0100
  Left = 267
  Top = 164
  BorderStyle = bsDialog
  Caption = 'Docuvane Expert'
  ClientHeight = 223
  ClientWidth = 256
  object pnlMessage: TPanel
    Left = 0
    Top = 0
    Width = 256
    Height = 13
    Align = alTop
    Alignment = taLeftJustify
    BevelOuter = bvNone
    Caption = ' Error Message:'
    TabOrder = 0
  end
  object Panel2: TPanel
    Left = 0
    Top = 13
    Width = 256
    Height = 177
    Align = alClient
    BevelOuter = bvNone
    BorderWidth = 2
    Caption = 'Panel2'
    TabOrder = 1
    object memError: TMemo
      Left = 2
      Top = 2
      Width = 252
      Height = 173
      Align = alClient
      Lines.Strings = (
        'Error:'
        '"Docuvane needs to be active"'
        ''
        'Meaning:'
        '"Please ensure that the Main Application,'
        'Docuvane is active, or running."'
        ''
        'Help:'
        '"Start the main application, Docuvane'
        'before running this Expert."')
      ReadOnly = True
      ScrollBars = ssBoth
      TabOrder = 0
    end
  end
  object pnlBottom: TPanel
    Left = 0
    Top = 190
    Width = 256
    Height = 33
    Align = alBottom
    BevelOuter = bvNone
    HelpContext = 1
    TabOrder = 2
    object btnClose: TButton
      Left = 92
      Top = 4
      Width = 75
      Height = 25
      Caption = 'Close'
      TabOrder = 0
      OnClick = btnCloseClick
    end
    object Button2: TButton
      Left = 172
      Top = 4
      Width = 75
      Height = 25
      Caption = 'Help'
      TabOrder = 1
      OnClick = Button2Click
    end
  end
end
